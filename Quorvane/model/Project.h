// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include <QDateTime>
#include <QHashFunctions>
#include <QJsonObject>
#include <QJsonValue>
#include <QString>
#include <QStringView>
#include <QUuid>

#include <optional>
#include <variant>

/**
 * @brief The application's record of one client site worked on through Claude Code: its title,
 * its MCP server registration, the Webflow site it is bound to, and anything left wrong or half
 * done. Kept in projects.json by the project store.
 */
struct Project
{
    /// The recovery action a project card offers for the project's issue.
    enum class IssueRecovery {
        connectMCP,
        verifySite,
        reviewSiteIdentity,
        retryPublishingDisconnect,
        reconcileRegistry,
    };

    /**
     * @brief A change to Claude Code's registry, recorded before it runs so that an interrupted
     * change can be finished or undone later.
     */
    struct RegistryIntent
    {
        /// The registration moves from one server name to another.
        struct Rename
        {
            QString from;
            QString to;
            friend bool operator==(const Rename &, const Rename &) = default;
        };
        /// The project is removed together with this registration.
        struct Remove
        {
            QString name;
            friend bool operator==(const Remove &, const Remove &) = default;
        };
        /// The registration is removed while the project stays.
        struct Unregister
        {
            QString name;
            friend bool operator==(const Unregister &, const Unregister &) = default;
        };

        std::variant<Rename, Remove, Unregister> change;

        /// The intent from its one-key object ({"rename": {"from": …, "to": …}} and so on).
        [[nodiscard]] static std::optional<RegistryIntent> fromJson(const QJsonValue &json,
                                                                    QString *error = nullptr);
        [[nodiscard]] QJsonObject toJson() const;

        friend bool operator==(const RegistryIntent &, const RegistryIntent &) = default;
    };

    QUuid id;
    QString title;
    /// The project's MCP server name in Claude Code.
    QString mcpName;
    /// The user's sentence on what is wrong with the project.
    std::optional<QString> issue;
    std::optional<IssueRecovery> issueRecovery;
    QDateTime createdAt;
    /// The Webflow site the project is bound to.
    std::optional<QString> siteId;
    /// A different site the project's server now reaches, waiting for the user to accept it.
    std::optional<QString> pendingSiteId;
    std::optional<QString> pendingSiteName;
    /// At most one pending registry change.
    std::optional<RegistryIntent> registryIntent;

    /// The project from its object in projects.json; nothing, with the reason in `error`, when any
    /// field is missing, of the wrong type or malformed.
    [[nodiscard]] static std::optional<Project> fromJson(const QJsonValue &json,
                                                         QString *error = nullptr);
    /// The object for projects.json: absent fields are left out, the id is upper-case and the date
    /// is UTC with whole seconds.
    [[nodiscard]] QJsonObject toJson() const;

    friend bool operator==(const Project &, const Project &) = default;
};

/// The recovery's stored text, the case's own name ("connectMCP").
[[nodiscard]] QString rawText(Project::IssueRecovery recovery);

/// The recovery whose stored text is exactly this one; nothing for any other.
[[nodiscard]] std::optional<Project::IssueRecovery> issueRecoveryFromRawText(QStringView text);

/// The recovery that fits an issue sentence given without one; nothing when none fits.
[[nodiscard]] std::optional<Project::IssueRecovery> recoveryForLegacyIssue(QStringView issue);

[[nodiscard]] size_t qHash(const Project::RegistryIntent &intent, size_t seed = 0) noexcept;
[[nodiscard]] size_t qHash(const Project &project, size_t seed = 0) noexcept;
