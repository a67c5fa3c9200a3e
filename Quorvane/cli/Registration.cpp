// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "cli/Registration.h"

#include "cli/ClaudeDriver.h"
#include "cli/RegistryReader.h"
#include "foundation/ServerNames.h"

#include <QtConcurrent>

#include <algorithm>

namespace ClaudeCLI {

namespace {

const QString kNotFound = QStringLiteral("claude CLI not found");

QString quoted(const QString &text)
{
    return QLatin1Char('"') + text + QLatin1Char('"');
}

} // namespace

QCoro::Task<RegistryChange> addServer(ClaudeDriver &driver, QString name, std::chrono::milliseconds timeLimit)
{
    // Callers also pass names read from ~/.claude.json: sentences quote the display-safe form.
    const QString display = displayName(name);
    if (!name.startsWith(ownLanePrefix))
        co_return RegistryChange{false, quoted(display) + QStringLiteral(" is outside this Quorvane lane's MCP namespace.")};
    if (const std::optional<QString> invalid = validateServerName(name))
        co_return RegistryChange{false, *invalid};
    const std::weak_ptr<const void> life = driver.life();
    const std::optional<QString> claude = co_await driver.discovery().findBinary();
    if (!claude || life.expired())
        co_return RegistryChange{false, kNotFound};
    const QStringList arguments = {QStringLiteral("mcp"),   QStringLiteral("add"),  QStringLiteral("--transport"),
                                   QStringLiteral("http"),  QStringLiteral("--scope"), QStringLiteral("user"),
                                   name,                    webflowMCPEndpoint.toString()};
    const QFuture<RunResult> registering = run(driver, *claude, arguments, timeLimit);
    const RunResult result = co_await registering;
    if (result.exitCode != 0)
        co_return RegistryChange{false, failureMessage(result, QStringLiteral("Registering ") + display)};
    co_return RegistryChange{true, QStringLiteral("Registered ") + display};
}

QCoro::Task<RegistryChange> removeServer(ClaudeDriver &driver, QString name, std::chrono::milliseconds timeLimit)
{
    // The name comes from ~/.claude.json and may hold anything: sentences quote only its
    // display-safe form.
    const QString display = displayName(name);
    if (name.startsWith(otherLanePrefix))
        co_return RegistryChange{false, quoted(display) + QStringLiteral(" belongs to a different Quorvane lane.")};
    if (name.isEmpty() || name.startsWith(QLatin1Char('-')) || hasASCIIControlCharacter(name)) {
        co_return RegistryChange{false, QStringLiteral("Refusing to pass ") + quoted(display)
                                            + QStringLiteral(" to the CLI. Remove it from ~/.claude.json by hand.")};
    }
    const std::weak_ptr<const void> life = driver.life();
    const std::optional<QString> claude = co_await driver.discovery().findBinary();
    if (!claude || life.expired())
        co_return RegistryChange{false, kNotFound};
    const QStringList arguments = {QStringLiteral("mcp"), QStringLiteral("remove"), name, QStringLiteral("-s"),
                                   QStringLiteral("user")};
    const QFuture<RunResult> removing = run(driver, *claude, arguments, timeLimit);
    const RunResult result = co_await removing;
    if (result.exitCode != 0 || life.expired())
        co_return RegistryChange{false, failureMessage(result, QStringLiteral("Removing ") + display)};

    const QFuture<std::optional<RegisteredNames>> rereading =
        QtConcurrent::run(&driver.threads(), registeredServerNames, driver.registryPath());
    const std::optional<RegisteredNames> names = co_await rereading;
    if (!names) {
        co_return RegistryChange{false, QStringLiteral("The CLI finished, but Claude's registry could not be reread. "
                                                       "Removal is unconfirmed; refresh before trying again.")};
    }
    if (names->user.contains(name)) {
        co_return RegistryChange{false, QStringLiteral("The CLI reported success but ") + display
                                            + QStringLiteral(" is still registered in ~/.claude.json.")};
    }
    if (names->local.contains(name)) {
        co_return RegistryChange{true, QStringLiteral("Removed ") + display
                                           + QStringLiteral(" from user scope. A project-scoped entry with the same "
                                                            "name is still in ~/.claude.json and has to be removed by "
                                                            "hand.")};
    }
    co_return RegistryChange{true, QStringLiteral("Removed ") + display};
}

QString failureMessage(const RunResult &result, const QString &label)
{
    if (result.exitCode == kTimedOut)
        return label + QStringLiteral(" timed out. The claude CLI did not finish and was stopped.");
    const QString output = (result.stdout + result.stderr).trimmed();
    if (!output.isEmpty())
        return output;
    return label + QStringLiteral(" failed (exit ") + QString::number(result.exitCode)
        + QStringLiteral(") with no output.");
}

bool hasASCIIControlCharacter(const QString &text)
{
    // Surrogates are never below 32 or 127, so UTF-16 units answer for the scalar values.
    return std::any_of(text.cbegin(), text.cend(), [](QChar c) { return c.unicode() < 32 || c.unicode() == 127; });
}

} // namespace ClaudeCLI
