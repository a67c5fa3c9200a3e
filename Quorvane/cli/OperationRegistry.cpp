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
    return m_state.withLock([&](State &state) -> LaunchOutcome {
        const auto entry = state.entries.find(key);
        if (entry == state.entries.end() || entry->id != id || entry->cancelled)
            return {LaunchStatus::NotCurrent, {}};
        Launch launched = launch();
        if (auto *error = std::get_if<QString>(&launched))
            return {LaunchStatus::LaunchFailed, *error};
        entry->process = std::get<std::shared_ptr<ChildProcess>>(std::move(launched));
        return {LaunchStatus::Launched, {}};
    });
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

RunOperationRegistry &RunOperationRegistry::shared()
{
    static RunOperationRegistry registry;
    return registry;
}

void RunOperationRegistry::cancel(const QString &key)
{
    const std::shared_ptr<ChildProcess> process = markCancelled(key);
    if (process && process->isRunning())
        process->signal(SIGTERM);
}

LoginOperationRegistry &LoginOperationRegistry::shared()
{
    static LoginOperationRegistry registry;
    return registry;
}

void LoginOperationRegistry::cancel(const QString &key, std::chrono::milliseconds killGrace)
{
    const std::shared_ptr<ChildProcess> process = markCancelled(key);
    if (!process || !process->isRunning())
        return;
    process->signal(SIGTERM);
    process->killAfter(killGrace);
}

QString claudeAuthKey()
{
    return QChar(u'\0') + QStringLiteral("claude-auth");
}

void cancelRun(const QString &key)
{
    RunOperationRegistry::shared().cancel(key);
}

void cancelLogin(const QString &key)
{
    LoginOperationRegistry::shared().cancel(key);
}

} // namespace ClaudeCLI
