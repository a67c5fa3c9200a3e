// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "cli/OperationRegistry.h"

#include <csignal>

namespace ClaudeCLI {

std::optional<QUuid> OperationRegistry::registerKey(const QString &key)
{
    return m_state.withLock([&](State &state) -> std::optional<QUuid> {
        if (state.entries.contains(key))
            return std::nullopt;
        const QUuid id = QUuid::createUuid();
        const bool queued = state.queuedCancellations.remove(key);
        state.entries.insert(key, Entry{id, nullptr, queued});
        return id;
    });
}

bool OperationRegistry::isCancelled(const QString &key, const QUuid &id)
{
    return m_state.withLock([&](State &state) {
        const auto entry = state.entries.constFind(key);
        return entry != state.entries.cend() && entry->id == id && entry->cancelled;
    });
}

OperationRegistry::LaunchOutcome OperationRegistry::launchIfCurrent(
    const QString &key, const QUuid &id, const std::function<Launch()> &launch)
{
    const auto owns = [&](State &state) {
        const auto entry = state.entries.find(key);
        return entry != state.entries.end() && entry->id == id ? entry : state.entries.end();
    };
    const bool current = m_state.withLock([&](State &state) {
        const auto entry = owns(state);
        return entry != state.entries.end() && !entry->cancelled;
    });
    if (!current)
        return {LaunchStatus::NotCurrent, {}};
    Launch launched = launch();
    if (auto *error = std::get_if<QString>(&launched))
        return {LaunchStatus::LaunchFailed, *error};
    std::shared_ptr<ChildProcess> process = std::get<std::shared_ptr<ChildProcess>>(std::move(launched));
    const bool cancelledMeanwhile = m_state.withLock([&](State &state) {
        const auto entry = owns(state);
        if (entry == state.entries.end())
            return true;
        entry->process = process;
        return entry->cancelled;
    });
    if (cancelledMeanwhile)
        stop(*process);
    return {LaunchStatus::Launched, {}};
}

std::shared_ptr<ChildProcess> OperationRegistry::markCancelled(const QString &key)
{
    return m_state.withLock([&](State &state) -> std::shared_ptr<ChildProcess> {
        const auto entry = state.entries.find(key);
        if (entry == state.entries.end()) {
            state.queuedCancellations.insert(key);
            return nullptr;
        }
        entry->cancelled = true;
        return entry->process;
    });
}

void OperationRegistry::unregisterKey(const QString &key, const QUuid &id)
{
    m_state.withLock([&](State &state) {
        const auto entry = state.entries.constFind(key);
        if (entry != state.entries.cend() && entry->id == id)
            state.entries.erase(entry);
    });
}

void OperationRegistry::cancel(const QString &key)
{
    const std::shared_ptr<ChildProcess> process = markCancelled(key);
    if (process && process->isRunning())
        stop(*process);
}

bool OperationRegistry::discardQueuedCancellation(const QString &key)
{
    return m_state.withLock([&](State &state) { return state.queuedCancellations.remove(key); });
}

void RunOperationRegistry::stop(ChildProcess &process)
{
    process.signal(SIGTERM);
}

LoginOperationRegistry::LoginOperationRegistry(ChildReaper &reaper, std::chrono::milliseconds killGrace)
    : m_reaper(reaper)
    , m_killGrace(killGrace)
{
}

void LoginOperationRegistry::stop(ChildProcess &process)
{
    process.signal(SIGTERM);
    m_reaper.killAfter(process.shared_from_this(), m_killGrace);
}

QString claudeAuthKey()
{
    return QChar(u'\0') + QStringLiteral("claude-auth");
}

} // namespace ClaudeCLI
