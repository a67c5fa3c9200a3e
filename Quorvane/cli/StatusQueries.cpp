// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "cli/StatusQueries.h"

#include "cli/ClaudeDriver.h"
#include "cli/ProcessRunner.h"
#include "foundation/ServerNames.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

namespace ClaudeCLI {

namespace {

bool matches(const QString &text, const QString &pattern)
{
    const QRegularExpression expression(pattern, QRegularExpression::CaseInsensitiveOption
                                                     | QRegularExpression::UseUnicodePropertiesOption);
    return expression.match(text).hasMatch();
}

QStringView trimmedSpacesAndTabs(QStringView line)
{
    auto isBlank = [](QChar c) { return c == QLatin1Char(' ') || c == QLatin1Char('\t'); };
    while (!line.isEmpty() && isBlank(line.front()))
        line = line.sliced(1);
    while (!line.isEmpty() && isBlank(line.back()))
        line.chop(1);
    return line;
}

std::optional<AuthStatus> structuredAuthStatus(const QString &output)
{
    const QJsonDocument document = QJsonDocument::fromJson(output.toUtf8());
    const QJsonValue loggedIn = document.object().value(QLatin1StringView("loggedIn"));
    if (!document.isObject() || !loggedIn.isBool())
        return std::nullopt;
    if (!loggedIn.toBool())
        return AuthStatus::signedOut();
    const QJsonValue email = document.object().value(QLatin1StringView("email"));
    return AuthStatus::signedIn(email.isString() ? std::optional(email.toString()) : std::nullopt);
}

RunOptions serverStatusOptions()
{
    RunOptions options;
    options.keepingLines = statusLineFilter;
    return options;
}

} // namespace

QCoro::Task<AuthStatus> authStatus(ClaudeDriver &driver, std::chrono::milliseconds timeLimit)
{
    const std::weak_ptr<const void> life = driver.life();
    const std::optional<QString> claude = co_await driver.discovery().findBinary();
    if (!claude || life.expired())
        co_return AuthStatus::unknown();
    const QStringList arguments = {QStringLiteral("auth"), QStringLiteral("status")};
    const QFuture<RunResult> asking = run(driver, *claude, arguments, timeLimit);
    const RunResult result = co_await asking;
    if (result.exitCode == kTimedOut)
        co_return AuthStatus::unknown();
    if (const std::optional<AuthStatus> structured = structuredAuthStatus(result.stdout))
        co_return *structured;
    // "Not logged in" also contains "logged in": the signed-out phrases are looked for first.
    const QString text = result.stdout + result.stderr;
    if (matches(text, QStringLiteral("Not logged in|Please run /login|logged out")))
        co_return AuthStatus::signedOut();
    if (matches(text, QStringLiteral("logged in as|Logged in")))
        co_return AuthStatus::signedIn();
    co_return AuthStatus::unknown();
}

QCoro::Task<ConnectionStatus> serverStatus(ClaudeDriver &driver, QString name, std::chrono::milliseconds timeLimit)
{
    if (name.startsWith(otherLanePrefix) || !isSafeServerName(name))
        co_return ConnectionStatus::unknown;
    const std::weak_ptr<const void> life = driver.life();
    const std::optional<QString> claude = co_await driver.discovery().findBinary();
    if (!claude || life.expired())
        co_return ConnectionStatus::unknown;
    const QStringList arguments = {QStringLiteral("mcp"), QStringLiteral("get"), name};
    const QFuture<RunResult> asking = run(driver, *claude, arguments, timeLimit, serverStatusOptions());
    const RunResult result = co_await asking;
    if (result.exitCode == 1 && matches(result.stderr, QStringLiteral("No MCP server (found|named)")))
        co_return ConnectionStatus::missing;
    if (result.exitCode == kTimedOut)
        co_return ConnectionStatus::timedOut;
    const QStringList lines = result.stdout.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    for (const QString &line : lines) {
        if (trimmedSpacesAndTabs(line).startsWith(QLatin1StringView("Status:")))
            co_return parseStatusLine(line);
    }
    co_return parseStatusLine(QString());
}

ConnectionStatus parseStatusLine(const QString &line)
{
    auto contains = [&](QLatin1StringView text) { return line.contains(text, Qt::CaseInsensitive); };
    if (contains(QLatin1StringView("needs authentication")))
        return ConnectionStatus::needsAuth;
    // Connected but without a tool list is degraded, checked before "failed" matches it.
    if (contains(QLatin1StringView("connected")) && contains(QLatin1StringView("tools fetch failed")))
        return ConnectionStatus::degraded;
    if (matches(line, QStringLiteral("failed|error|disconnected|not connected")))
        return ConnectionStatus::failed;
    if (line.contains(QChar(0x2714)) || line.contains(QChar(0x2713)))
        return ConnectionStatus::connected;
    if (matches(line, QStringLiteral("(^|\\W)connected(\\W|$)")))
        return ConnectionStatus::connected;
    return ConnectionStatus::unknown;
}

bool statusLineFilter(const QString &line)
{
    const QStringView trimmed = trimmedSpacesAndTabs(line);
    return trimmed.startsWith(QLatin1StringView("Status:"))
        || trimmed.contains(QLatin1StringView("No MCP server"), Qt::CaseInsensitive);
}

} // namespace ClaudeCLI
