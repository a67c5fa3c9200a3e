// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include "cli/OperationRegistry.h"
#include "model/CLIEnvironment.h"
#include "model/ClaudeInstall.h"
#include "foundation/Clock.h"

#include <QCoroFuture>
#include <QDateTime>
#include <QFuture>
#include <QList>
#include <QString>
#include <QStringList>

#include <chrono>
#include <optional>

namespace ClaudeCLI {

/// What the cache knows of the `claude` executable.
struct BinaryLookup
{
    enum class State {
        /// No search result held (or a "not found" older than the retry interval).
        Unresolved,
        /// The last search, less than the retry interval ago, found no working executable.
        NotFound,
        /// The executable to use.
        Found,
    };
    State state = State::Unresolved;
    /// The absolute path when found.
    QString path;

    friend bool operator==(const BinaryLookup &, const BinaryLookup &) = default;
};

/// The time limits of a search.
struct DiscoveryLimits
{
    std::chrono::milliseconds loginShellProbe{8000};
    std::chrono::milliseconds versionProbe{10000};
    /// How long a "not found" answer is trusted before the next lookup searches again.
    std::chrono::milliseconds notFoundRetry{30000};
};

/**
 * @brief Finds the `claude` executable without relying on the application's own PATH: it asks
 * the user's login shell for its PATH, probes the usual install locations and the Node version
 * manager's installs, runs "--version" on each distinct executable and picks the newest that
 * works. The answer is cached for the process; concurrent lookups share one search.
 */
class BinaryDiscovery
{
public:
    explicit BinaryDiscovery(Clock &clock, QStringList fixedCandidates = standardCandidates(),
                             DiscoveryLimits limits = {});
    BinaryDiscovery(const BinaryDiscovery &) = delete;
    BinaryDiscovery &operator=(const BinaryDiscovery &) = delete;

    /// The process-wide discovery on the system clock.
    [[nodiscard]] static BinaryDiscovery &shared();
    /// The fixed install locations, in the order they are tried.
    [[nodiscard]] static QStringList standardCandidates();

    /// Answers at once from the cache.
    [[nodiscard]] BinaryLookup locateBinary();
    /// The shared search now running, or a new one; it completes with the executable to use.
    [[nodiscard]] QFuture<std::optional<QString>> sharedDiscoveryTask();
    /// The executable to use: from the cache when it holds an answer, else from the shared search.
    [[nodiscard]] QFuture<std::optional<QString>> findBinary();
    /// Runs a full search whatever the cache holds, stores its choice and describes what it found.
    [[nodiscard]] QFuture<CLIEnvironment> detectEnvironment();
    /// Drops the cached answer, so that the next lookup searches again; a search under way still
    /// answers those waiting for it, but stores nothing.
    void forgetBinaryLocation();
    /// Every install found, newest working version first and broken ones last. Blocks while the
    /// probes run: call it off the GUI thread.
    [[nodiscard]] QList<ClaudeInstall> discoverInstalls() const;

private:
    struct Search
    {
        QList<ClaudeInstall> installs;
        /// The PATH the login shell reported (empty when it reported none).
        QString loginPath;
    };
    struct State
    {
        BinaryLookup cachedBinary;
        std::optional<QDateTime> lastDiscoveryAt;
        quint64 discoveryGeneration = 0;
        std::optional<QFuture<std::optional<QString>>> sharedDiscovery;
    };

    [[nodiscard]] Search search() const;
    /// Stores a search's choice unless a reset came since it started; returns the choice.
    std::optional<QString> store(const Search &search, quint64 generation);

    Clock &m_clock;
    const QStringList m_fixedCandidates;
    const DiscoveryLimits m_limits;
    LockedState<State> m_state;
};

/// The first install with a version: the newest working one, ties going to the one found first.
[[nodiscard]] std::optional<ClaudeInstall> chosenInstall(const QList<ClaudeInstall> &installs);

/// The oldest version that authorizes servers inside the application ("mcp" "login").
inline constexpr CLIVersion kFirstLoginVersion{2, 1, 186};

/// The process-wide discovery's answers (see `BinaryDiscovery`).
[[nodiscard]] BinaryLookup locateBinary();
[[nodiscard]] QFuture<std::optional<QString>> sharedDiscoveryTask();
[[nodiscard]] QFuture<std::optional<QString>> findBinary();
[[nodiscard]] QFuture<CLIEnvironment> detectEnvironment();
void forgetBinaryLocation();

} // namespace ClaudeCLI
