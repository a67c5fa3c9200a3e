// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include "model/ConnectionMeta.h"
#include "model/ConnectionStatus.h"

#include <QHashFunctions>
#include <QString>

#include <optional>

/**
 * @brief One MCP server registration the application manages, as the panel shows it. Assembled in
 * memory from the registry, the status queries and the stored metadata; never written to a file.
 */
struct Connection
{
    /// The server name in Claude Code's user scope, the record's identity.
    QString name;
    /// The endpoint the registry entry declares.
    std::optional<QString> url;
    ConnectionStatus status = ConnectionStatus::unknown;
    std::optional<ConnectionMeta> meta;

    [[nodiscard]] const QString &id() const { return name; }

    friend bool operator==(const Connection &, const Connection &) = default;
};

[[nodiscard]] inline size_t qHash(const Connection &connection, size_t seed = 0) noexcept
{
    return qHashMulti(seed, connection.name, connection.url.has_value(),
                      connection.url.value_or(QString()), rawText(connection.status),
                      connection.meta.has_value(), connection.meta.value_or(ConnectionMeta()));
}
