// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include "model/UnrecognizedServer.h"

#include <QFuture>
#include <QJsonObject>
#include <QJsonValue>
#include <QList>
#include <QMap>
#include <QSet>
#include <QString>

#include <optional>

namespace ClaudeCLI {

class ClaudeDriver;

/// @brief A user-scope Webflow MCP server of this lane, as registered in ~/.claude.json.
struct RegisteredServer
{
    QString name;
    /// The entry's "url" text.
    QString url;

    bool operator==(const RegisteredServer &) const = default;
};

/**
 * @brief What one read of ~/.claude.json found: the servers this application manages and the
 * entries it sees but leaves alone, both sorted by name, or the sentence saying why the file could
 * not be used (then both lists are empty).
 */
struct RegistryRead
{
    QList<RegisteredServer> servers;
    QList<UnrecognizedServer> unrecognized;
    std::optional<QString> error;

    bool operator==(const RegistryRead &) const = default;
};

/// @brief One name registered for a single project folder (local scope).
struct LocalScopeServer
{
    std::optional<QString> url;
    std::optional<QString> transport;
    /// The folder key under "projects" where the name was met first.
    QString folder;

    bool operator==(const LocalScopeServer &) const = default;
};

/// @brief The names registered in ~/.claude.json, in user scope and in any project folder.
struct RegisteredNames
{
    QSet<QString> user;
    QSet<QString> local;
};

/// The full path of Claude Code's registry in the current user's home.
[[nodiscard]] QString registryPath();

/// Reads and classifies the registry at the path. A missing file is an empty registry, not an
/// error. Blocks on the file.
[[nodiscard]] RegistryRead readRegistry(const QString &path = registryPath());

/// Reads and classifies the driver's registry on the driver's threads.
[[nodiscard]] QFuture<RegistryRead> readRegistry(ClaudeDriver &driver);

/// The names of both scopes, or nothing when the file is missing, unreadable, not a JSON object
/// or has no "mcpServers" object (a removal can then not be confirmed). Blocks on the file.
[[nodiscard]] std::optional<RegisteredNames> registeredServerNames(const QString &path = registryPath());

/// How an entry declares its transport ("http", "stdio: npx -y pkg", "contradictory: …"), or
/// nothing when it declares none.
[[nodiscard]] std::optional<QString> transportDescription(const QJsonValue &entry);

/// Every name registered under some project folder of the parsed registry; a name found in
/// several folders keeps the first folder met.
[[nodiscard]] QMap<QString, LocalScopeServer> localScopeServers(const QJsonObject &registry);

} // namespace ClaudeCLI
