// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include "model/SiteRef.h"

#include <QCoro/QCoroTask>
#include <QJsonArray>
#include <QJsonObject>
#include <QList>
#include <QString>

#include <chrono>
#include <optional>

namespace ClaudeCLI {

class ClaudeDriver;

/**
 * @brief What the scope check read: the Webflow sites one connection's grant reaches, or the
 * sentence saying why no list could be read.
 */
struct ScopeCheckResult
{
    /// A result of the sites tool was read and decoded.
    bool ok = false;
    /// Claude called the sites tool and a result answering that call came back.
    bool toolRan = false;
    /// The decoded sites in the tool's order, when ok.
    QList<SiteRef> sites;
    /// Empty when ok; otherwise the user's sentence.
    QString message;
    /// The claude tool itself is not signed in.
    bool cliSignedOut = false;

    bool operator==(const ScopeCheckResult &) const = default;
};

/// @brief The tool-use and tool-result blocks of Claude's stream-JSON output, in stream order.
struct ToolBlocks
{
    QList<QJsonObject> toolUses;
    QList<QJsonObject> toolResults;
};

/// How long the print-mode run of the scope check may take.
inline constexpr std::chrono::milliseconds kScopeCheckTimeLimit = std::chrono::minutes(3);

/// The prefix of the run's cancellation key; the connection name follows it.
inline constexpr QLatin1StringView kScopeCheckKeyPrefix("verify:");

/// Runs claude once in print mode with only this server and only its sites tool, and reads the
/// sites the tool lists. Every outcome comes back inside the result. Cancelled through the
/// driver's run registry with "verify:" and the name. The configuration file it hands claude is
/// written and removed on the driver's threads.
[[nodiscard]] QCoro::Task<ScopeCheckResult> verifySites(ClaudeDriver &driver, QString name, QString url,
                                                       std::chrono::milliseconds timeLimit = kScopeCheckTimeLimit);

/// The tool-use blocks of "assistant" events and the tool-result blocks of "user" events.
[[nodiscard]] ToolBlocks collectToolBlocks(const QString &standardOutput);

/// Appends every block of the given type found at any depth of the value to the list.
void collectBlocks(const QJsonValue &value, QLatin1StringView blockType, QList<QJsonObject> &blocks);

/// The text of a tool result's "content": a text, the texts of a list of blocks joined by line
/// feeds, or the "text" of one block.
[[nodiscard]] QString toolResultText(const QJsonValue &content);

/// The list of site objects in a value: a bare array of objects, or one under "sites", "items",
/// "data", "result" or "results" at any depth.
[[nodiscard]] std::optional<QJsonArray> extractSiteObjects(const QJsonValue &value);

/// Why Claude's run did not call the sites tool, quoting its error output or its last reply.
[[nodiscard]] QString noToolCallMessage(const QString &standardOutput, const QString &standardError);

/// Claude's final reply: the "result" of the last "result" event, trimmed.
[[nodiscard]] QString finalResultText(const QString &standardOutput);

} // namespace ClaudeCLI
