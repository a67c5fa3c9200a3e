// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include <QByteArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QString>

/// An http entry of ~/.claude.json at the URL, Webflow's MCP endpoint unless told otherwise.
[[nodiscard]] inline QJsonObject httpEntry(const QString &url = QStringLiteral("https://mcp.webflow.com/mcp"))
{
    return {{QStringLiteral("type"), QStringLiteral("http")}, {QStringLiteral("url"), url}};
}

/// ~/.claude.json with these user-scope servers and, per folder, these local-scope ones.
[[nodiscard]] inline QByteArray claudeRegistry(const QJsonObject &user, const QJsonObject &folders = {})
{
    QJsonObject top{{QStringLiteral("mcpServers"), user}};
    QJsonObject projects;
    for (auto it = folders.begin(); it != folders.end(); ++it)
        projects.insert(it.key(), QJsonObject{{QStringLiteral("mcpServers"), it.value()}});
    if (!projects.isEmpty())
        top.insert(QStringLiteral("projects"), projects);
    return QJsonDocument(top).toJson();
}
