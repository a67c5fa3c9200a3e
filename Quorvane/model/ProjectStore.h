// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include "model/Connection.h"
#include "model/LocalStore.h"
#include "model/Project.h"
#include "model/SiteRecord.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QUuid>

#include <optional>
#include <variant>

/**
 * @brief The list of projects and projects.json, in which it survives between launches.
 *
 * Every change builds the whole new list and hands it to saveProjects(): the list in memory
 * becomes the new one only once the file was written. A file that cannot be used is never
 * overwritten: the store then starts empty and refuses every change for the rest of the process.
 */
class ProjectStore : public LocalStore
{
    Q_OBJECT
    /// The projects in store order: file order, new projects at the end. Views sort for display.
    Q_PROPERTY(QList<Project> projects READ projects NOTIFY projectsChanged)

public:
    /// A project name or registered name that a typed name would collide with.
    struct NameCollision
    {
        enum class Kind {
            exact, ///< Both names have the same comparison key.
            close, ///< One key contains the other.
        };
        /// The colliding candidate's own text.
        QString name;
        Kind kind;

        friend bool operator==(const NameCollision &, const NameCollision &) = default;
    };

    /// Loads folder/projects.json (creating the folder when missing). A change whose own
    /// precondition fails answers SaveFailure::Kind::invalid and writes nothing.
    ProjectStore(const QString &folder, Environment environment, QObject *parent = nullptr);

    [[nodiscard]] const QList<Project> &projects() const { return m_projects; }

    /// Writes the complete new list and, once written, makes it the store's. The one path by which
    /// the list changes.
    [[nodiscard]] SaveResult saveProjects(const QList<Project> &projects);

    /// Adds a project titled with the trimmed title, its server name derived from it; invalid when
    /// either is empty or the server name collides with a project's.
    [[nodiscard]] std::variant<Project, SaveFailure> createProject(const QString &title);
    /// Renames a project (trimmed; invalid when nothing is left). Saves even when unchanged.
    [[nodiscard]] SaveResult setTitle(const QUuid &id, const QString &title);
    /// Sets a project's server name exactly as given (it must begin with "webflow-") and clears
    /// its registry intent.
    [[nodiscard]] SaveResult setMCPName(const QUuid &id, const QString &name);
    /// Sets or (with no issue) clears the issue of the project with that server name. Without a
    /// recovery, one is derived from the issue text. A clear leaves a project under site review
    /// alone.
    [[nodiscard]] SaveResult setIssue(const std::optional<QString> &issue,
                                      const QString &mcpName,
                                      std::optional<Project::IssueRecovery> recovery = {});
    /// Records a registry change before it runs; invalid while another is pending.
    [[nodiscard]] SaveResult setRegistryIntent(const QUuid &id,
                                               const Project::RegistryIntent &intent);
    /// Clears the pending registry change; no write when there is none.
    [[nodiscard]] SaveResult clearRegistryIntent(const QUuid &id);
    /// Binds a project to a site (or unbinds it) and drops a pending retarget; invalid when the
    /// site is the current one.
    [[nodiscard]] SaveResult setSiteId(const QUuid &id, const std::optional<QString> &siteId);
    /// Moves a project to its pending site; invalid when it has none.
    [[nodiscard]] SaveResult acceptPendingSite(const QUuid &id);
    /// Removes every project with that id; invalid when there is none.
    [[nodiscard]] SaveResult remove(const QUuid &id);
    /// Binds unbound projects to the site their server verifies, asks bound ones to review a
    /// different site, and settles a review when the bound site is verified again.
    [[nodiscard]] SaveResult reconcileSites(const QList<SiteRecord> &sites);
    /// Adds a project for each connection that no project claims.
    [[nodiscard]] SaveResult adoptUnclaimedConnections(const QList<Connection> &connections);

    /// The first project with exactly that server name.
    [[nodiscard]] std::optional<Project> projectForMCPName(const QString &name) const;
    /// The first project title, server name or extra name whose comparison key equals the typed
    /// name's, else the first whose key contains it or is contained in it.
    [[nodiscard]] std::optional<NameCollision> nameCollision(const QString &typed,
                                                             const QStringList &extraNames) const;

signals:
    void projectsChanged();

private:
    std::optional<QString> setAsideNote(SetAside why, const QByteArray &bytes,
                                        const std::optional<QString> &copy) const override;
    /// The position of the first project with that id, or -1.
    [[nodiscard]] qsizetype indexOf(const QUuid &id) const;
    /// Saves a copy of the list in which `change` was applied to the project with that id;
    /// invalid when there is none, or when `change` answers false (its precondition failed).
    template <typename Change>
    SaveResult changeProject(const QUuid &id, Change change);

    QList<Project> m_projects;
};

/// The server name for a typed name: "webflow-" and its slug without a lane prefix; empty when no
/// letter or digit is left.
[[nodiscard]] QString normalizedMCPName(QStringView name);

/// The projects in ascending order of title, compared case-insensitively under the user's locale;
/// projects whose titles compare equal keep their order.
[[nodiscard]] QList<Project> sortProjectsByTitle(QList<Project> projects);
