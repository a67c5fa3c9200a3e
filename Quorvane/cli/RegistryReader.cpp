// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "cli/RegistryReader.h"

#include "cli/ClaudeDriver.h"
#include "cli/RegistryFile.h"
#include "foundation/ServerNames.h"

#include <QDir>
#include <QJsonArray>
#include <QtConcurrent>

#include <algorithm>

namespace ClaudeCLI {

namespace {

const QStringList kHttpTransports = {QStringLiteral("http"), QStringLiteral("sse"),
                                     QStringLiteral("streamable-http"), QStringLiteral("http-stream")};

std::optional<QString> textMember(const QJsonObject &object, QLatin1StringView key)
{
    const QJsonValue value = object.value(key);
    if (!value.isString())
        return std::nullopt;
    return value.toString();
}

std::optional<QString> entryUrl(const QJsonValue &entry)
{
    return textMember(entry.toObject(), QLatin1StringView("url"));
}

// Names sort by Unicode code point; QString's own order is by UTF-16 unit, which puts characters
// beyond the Basic Multilingual Plane before U+E000…U+FFFF.
bool codePointLess(const QString &a, const QString &b)
{
    return a.toUcs4() < b.toUcs4();
}

bool isHttpTransport(const std::optional<QString> &transport)
{
    return transport && kHttpTransports.contains(transport->toLower());
}

bool concernsWebflow(const QString &name, const std::optional<QString> &url)
{
    return name.startsWith(ownLanePrefix) || isWebflowEndpoint(url);
}

RegistryRead classify(const QJsonObject &registry)
{
    RegistryRead read;
    const QMap<QString, LocalScopeServer> local = localScopeServers(registry);
    QSet<QString> unrecognizedNames;
    auto addUnrecognized = [&](UnrecognizedServer server) {
        unrecognizedNames.insert(server.name);
        read.unrecognized.append(std::move(server));
    };

    const QJsonObject user = registry.value(QLatin1StringView("mcpServers")).toObject();
    for (auto it = user.begin(); it != user.end(); ++it) {
        const QString name = it.key();
        const std::optional<QString> url = entryUrl(it.value());
        const std::optional<QString> transport = transportDescription(it.value());
        auto unrecognized = [&](UnrecognizedServer::Reason reason) {
            addUnrecognized({name, url, transport, reason, std::nullopt});
        };
        if (name.startsWith(otherLanePrefix)) {
            unrecognized(UnrecognizedServer::Reason::foreignLane);
        } else if (!concernsWebflow(name, url)) {
            continue;
        } else if (!isSafeServerName(name)) {
            unrecognized(UnrecognizedServer::Reason::unsafeName);
        } else if (!isHttpTransport(transport)) {
            unrecognized(UnrecognizedServer::Reason::transportNotHTTP);
        } else if (!isWebflowEndpoint(url)) {
            unrecognized(UnrecognizedServer::Reason::unexpectedEndpoint);
        } else if (const auto shadow = local.constFind(name); shadow != local.cend()) {
            // Claude Code prefers the project's entry inside that folder, so that is the one
            // whose endpoint matters.
            addUnrecognized({name, shadow->url, shadow->transport,
                             UnrecognizedServer::Reason::localScopeShadow, std::nullopt});
        } else {
            read.servers.append({name, *url});
        }
    }

    for (auto it = local.cbegin(); it != local.cend(); ++it) {
        const QString &name = it.key();
        if (unrecognizedNames.contains(name))
            continue;
        UnrecognizedServer::Reason reason;
        if (name.startsWith(otherLanePrefix))
            reason = UnrecognizedServer::Reason::foreignLane;
        else if (concernsWebflow(name, it->url))
            reason = UnrecognizedServer::Reason::projectScoped;
        else
            continue;
        addUnrecognized({name, it->url, it->transport, reason, it->folder});
    }

    std::sort(read.servers.begin(), read.servers.end(),
              [](const auto &a, const auto &b) { return codePointLess(a.name, b.name); });
    std::sort(read.unrecognized.begin(), read.unrecognized.end(),
              [](const auto &a, const auto &b) { return codePointLess(a.name, b.name); });
    return read;
}

} // namespace

QString registryPath()
{
    return QDir::homePath() + QStringLiteral("/.claude.json");
}

RegistryRead readRegistry(const QString &path)
{
    const RegistryFile file = readRegistryFile(path);
    switch (file.state) {
    case RegistryFile::State::Missing:
        return {};
    case RegistryFile::State::Unreadable:
        return {{}, {}, QStringLiteral("Could not read ~/.claude.json")};
    case RegistryFile::State::Unparseable:
        return {{}, {}, QStringLiteral("Could not parse ~/.claude.json")};
    case RegistryFile::State::Parsed:
        break;
    }
    return classify(file.registry);
}

QFuture<RegistryRead> readRegistry(ClaudeDriver &driver)
{
    return QtConcurrent::run(&driver.threads(), [path = driver.registryPath()] { return readRegistry(path); });
}

std::optional<RegisteredNames> registeredServerNames(const QString &path)
{
    const RegistryFile file = readRegistryFile(path);
    if (file.state != RegistryFile::State::Parsed)
        return std::nullopt;
    const QJsonObject &registry = file.registry;
    const QJsonValue user = registry.value(QLatin1StringView("mcpServers"));
    if (!user.isObject())
        return std::nullopt;
    RegisteredNames names;
    for (const QString &name : user.toObject().keys())
        names.user.insert(name);
    for (const QString &name : localScopeServers(registry).keys())
        names.local.insert(name);
    return names;
}

std::optional<QString> transportDescription(const QJsonValue &entry)
{
    if (!entry.isObject())
        return std::nullopt;
    const QJsonObject object = entry.toObject();
    std::optional<QString> declared = textMember(object, QLatin1StringView("type"));
    if (!declared)
        declared = textMember(object, QLatin1StringView("transport"));
    const std::optional<QString> command = textMember(object, QLatin1StringView("command"));

    if (declared) {
        if (object.contains(QLatin1StringView("command")) || object.contains(QLatin1StringView("args"))) {
            return QStringLiteral("contradictory: declares ") + *declared
                + QStringLiteral(" but carries command: ") + command.value_or(QStringLiteral("(unnamed)"));
        }
        return declared;
    }
    if (!command)
        return std::nullopt;
    QStringList words{*command};
    for (const QJsonValue &argument : object.value(QLatin1StringView("args")).toArray()) {
        if (argument.isString())
            words.append(argument.toString());
    }
    return QStringLiteral("stdio: ") + words.join(QLatin1Char(' '));
}

QMap<QString, LocalScopeServer> localScopeServers(const QJsonObject &registry)
{
    QMap<QString, LocalScopeServer> table;
    const QJsonObject projects = registry.value(QLatin1StringView("projects")).toObject();
    for (auto project = projects.begin(); project != projects.end(); ++project) {
        const QJsonValue servers = project.value().toObject().value(QLatin1StringView("mcpServers"));
        if (!servers.isObject())
            continue;
        const QJsonObject serverTable = servers.toObject();
        for (auto it = serverTable.begin(); it != serverTable.end(); ++it) {
            if (table.contains(it.key()))
                continue;
            table.insert(it.key(), {entryUrl(it.value()), transportDescription(it.value()), project.key()});
        }
    }
    return table;
}

} // namespace ClaudeCLI
