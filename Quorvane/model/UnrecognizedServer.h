// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include <QHashFunctions>
#include <QString>
#include <QStringView>

#include <optional>

/**
 * @brief A registry entry the application sees but does not manage, and why.
 *
 * The name is kept exactly as found and may hold anything; it is shown only through
 * sanitizedForDisplay.
 */
struct UnrecognizedServer
{
    enum class Reason {
        /// The name holds characters never passed to the command line.
        unsafeName,
        /// No HTTP transport, so it cannot be a Webflow connection.
        transportNotHTTP,
        /// It points at a server other than Webflow's MCP endpoint.
        unexpectedEndpoint,
        /// A project-scoped entry of the same name exists, which Claude Code resolves first.
        localScopeShadow,
        /// Registered for one project folder rather than for the user.
        projectScoped,
        /// It belongs to the application's other release lane.
        foreignLane,
    };

    QString name;
    std::optional<QString> url;
    std::optional<QString> transport;
    Reason reason = Reason::unsafeName;
    /// The project folder the entry was found under, for project-scoped entries.
    std::optional<QString> folder;

    [[nodiscard]] const QString &id() const { return name; }

    /// Where the entry points, in one display-safe line of at most 120 characters and "…".
    [[nodiscard]] QString endpointSummary() const;

    /// The reason whose text is exactly this one; nothing for any other.
    [[nodiscard]] static std::optional<Reason> reasonFromRawText(QStringView text);

    /// Whether the entry belongs to something else (one project, the other lane) rather than being
    /// broken or foreign; such entries are presented as information, not as a warning.
    [[nodiscard]] static bool isOwnedElsewhere(Reason reason);

    friend bool operator==(const UnrecognizedServer &, const UnrecognizedServer &) = default;
};

/// The reason's fixed text, the case's own name ("foreignLane").
[[nodiscard]] QString rawText(UnrecognizedServer::Reason reason);

[[nodiscard]] inline size_t qHash(const UnrecognizedServer &server, size_t seed = 0) noexcept
{
    return qHashMulti(seed, server.name, server.url.has_value(), server.url.value_or(QString()),
                      server.transport.has_value(), server.transport.value_or(QString()),
                      rawText(server.reason), server.folder.has_value(),
                      server.folder.value_or(QString()));
}
