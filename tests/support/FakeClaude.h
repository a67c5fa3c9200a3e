// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include "support/ClaudeOnPath.h"

#include <QByteArray>
#include <QJsonObject>
#include <QList>
#include <QString>
#include <QStringList>

#include <chrono>
#include <optional>

class TempHome;

/**
 * @brief A scripted stand-in for the claude command line, written into a TempHome: it records
 * every call's arguments and whether it had a terminal, and answers each command from a scenario
 * the test sets up.
 *
 * Commands are told apart by their first words: "mcp get", "mcp add", "mcp remove", "mcp login",
 * "auth status", and "-p" for a print-mode run. "--version" answers a current version unless told
 * otherwise; a command without an answer fails with exit status 1. A successful "mcp add
 * --transport http --scope user NAME URL" or "mcp remove NAME" edits ~/.claude.json as the real
 * tool does (a user-scope http entry added or taken away) unless its reply says otherwise. A
 * driver built with `configuration()` finds this executable (it claims a version newer than any
 * real one).
 */
class FakeClaude
{
public:
    /// One scripted answer.
    struct Reply
    {
        QByteArray standardOutput;
        QByteArray standardError;
        int exitCode = 0;
        /// After writing its output, the command never ends by itself.
        bool hangs = false;
        /// Written over ~/.claude.json before the command answers, in place of its own edit.
        std::optional<QByteArray> registryAfter;
        /// How long the command takes before it does anything.
        std::chrono::milliseconds delay{0};
        /// Whether a successful "mcp add" or "mcp remove" edits ~/.claude.json itself; a command
        /// that fails, hangs or has `registryAfter` never does.
        bool editsRegistry = true;
        /// After writing its output, the command waits until the test calls `completeGrant()`
        /// before it ends, as a login waits on the user's consent in the browser.
        bool awaitsGrant = false;
    };

    /// One call: its arguments, and whether its standard input was a terminal.
    struct Call
    {
        QStringList arguments;
        bool terminal = false;
        friend bool operator==(const Call &, const Call &) = default;
    };

    explicit FakeClaude(const TempHome &home);

    /// Sets the answer to a command ("mcp get", "auth status", "-p", …); "mcp get NAME" (and so
    /// for every "mcp" command) answers for one server only, before the command's own answer.
    void answer(const QString &command, const Reply &reply);
    /// Sets answers that the command's calls take in turn; the last one answers every later call.
    void answerInTurn(const QString &command, const QList<Reply> &replies);

    /// Lets the one command that waits for a grant end (or the next one that will, when none waits yet).
    void completeGrant() const;

    /// The arguments of every call so far, in order, except the "--version" probes of discovery.
    [[nodiscard]] QList<QStringList> calls() const;
    /// The same calls with whether each had a terminal.
    [[nodiscard]] QList<Call> callRecords() const;

    /// The most calls (other than version probes) that were running at one moment.
    [[nodiscard]] int mostAtOnce() const;

    /// A driver's configuration whose discovery finds this executable.
    [[nodiscard]] ClaudeCLI::DriverConfiguration configuration() const { return m_onPath.configuration(); }

    /// The path of the script.
    [[nodiscard]] QString executable() const;

    /// The content of the file that the last call passed after "--mcp-config", as it was then.
    [[nodiscard]] QByteArray mcpConfig() const;
    /// That file's permission bits then, in octal ("600").
    [[nodiscard]] QString mcpConfigMode() const;

    /// The output of a print-mode run in stream-JSON: one compact JSON object a line.
    [[nodiscard]] static QByteArray streamJson(const QList<QJsonObject> &events);

private:
    QString m_dir;
    QString m_registryPath;
    ClaudeOnPath m_onPath;

    void writeReply(const QString &dir, const Reply &reply) const;
};
