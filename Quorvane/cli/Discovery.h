// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include "cli/OperationRegistry.h"
#include "model/CLIEnvironment.h"
#include "model/ClaudeInstall.h"
#include "foundation/Clock.h"

#include <QCoroFuture>
#include <QCoroTask>
#include <QPromise>
#include <QDateTime>
#include <QFuture>
#include <QList>
#include <QString>
#include <QStringList>

#include <chrono>
#include <memory>
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

class ClaudeDriver;

/**
 * @brief Finds the `claude` executable without relying on the application's own PATH: it asks
 * the user's login shell for its PATH, probes the usual install locations and the Node version
 * manager's installs, runs "--version" on each distinct executable and picks the newest that
 * works. The answer is cached for the driver's life; concurrent lookups share one search. The
 * searches are coroutines: they resume on the thread that started them, which must run an event
 * loop, and hand every file and process step to the driver.
 */
class BinaryDiscovery
{
public:
    BinaryDiscovery(ClaudeDriver &driver, Clock &clock, QStringList fixedCandidates = standardCandidates(),
                    DiscoveryLimits limits = {});
    BinaryDiscovery(const BinaryDiscovery &) = delete;
    BinaryDiscovery &operator=(const BinaryDiscovery &) = delete;

    /// The fixed install locations, in the order they are tried.
    [[nodiscard]] static QStringList standardCandidates();

    /// Answers at once from the cache.
    [[nodiscard]] BinaryLookup locateBinary();
    /// The shared search now running, or a new one; it completes with the executable to use.
    [[nodiscard]] QFuture<std::optional<QString>> sharedDiscoveryTask();
    /// The executable to use: from the cache when it holds an answer, else from the shared search.
    [[nodiscard]] QCoro::Task<std::optional<QString>> findBinary();
    /// Runs a full search whatever the cache holds, stores its choice and describes what it found.
    [[nodiscard]] QCoro::Task<CLIEnvironment> detectEnvironment();
    /// Drops the cached answer, so that the next lookup searches again; a search under way still
    /// answers those waiting for it, but stores nothing.
    void forgetBinaryLocation();
    /// Every install found, newest working version first and broken ones last.
    [[nodiscard]] QCoro::Task<QList<ClaudeInstall>> discoverInstalls();

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

    [[nodiscard]] QCoro::Task<Search> search();
    /// Runs the shared search and answers its promise.
    QCoro::Task<> runSharedSearch(std::shared_ptr<QPromise<std::optional<QString>>> promise, quint64 generation);
    /// Stores a search's choice unless a reset came since it started; returns the choice.
    std::optional<QString> store(const Search &search, quint64 generation);

    ClaudeDriver &m_driver;
    Clock &m_clock;
    const QStringList m_fixedCandidates;
    const DiscoveryLimits m_limits;
    LockedState<State> m_state;
};

/// The first install with a version: the newest working one, ties going to the one found first.
[[nodiscard]] std::optional<ClaudeInstall> chosenInstall(const QList<ClaudeInstall> &installs);

/// The oldest version that authorizes servers inside the application ("mcp" "login").
inline constexpr CLIVersion kFirstLoginVersion{2, 1, 186};

} // namespace ClaudeCLI
