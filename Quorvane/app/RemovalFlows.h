// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include "model/CloudAuthSnapshot.h"
#include "model/Project.h"
#include "scheduling/ProjectCancellationLease.h"

#include <QCoro/QCoroTask>
#include <QList>
#include <QMap>
#include <QObject>
#include <QSet>
#include <QString>
#include <QUuid>

#include <functional>
#include <optional>

class AppModel;

/**
 * @brief Taking registrations and projects away: unregistering a project's connection, removing a
 * registration by name, removing one project or all of them, and removing a registration that
 * Claude Code holds for one project folder.
 *
 * A project's removal goes cloud first: its site's upcoming publish is cancelled under a removal
 * lease that holds back new schedules while the removal runs, and the lease is finished once,
 * telling the cloud whether the project really went. Every registry change is recorded on the
 * project as an intent before claude runs, so an interruption is settled by a later refresh;
 * while a removal runs, that recovery leaves its project alone.
 */
class RemovalFlows final : public QObject
{
    Q_OBJECT
    /// Remove All is under way; a second one meanwhile returns at once.
    Q_PROPERTY(bool isClearingAllProjects READ isClearingAllProjects NOTIFY isClearingAllProjectsChanged)
    /// What the last Remove All kept and why; empty when it has nothing to report.
    Q_PROPERTY(QString clearAllNotice READ clearAllNoticeText NOTIFY clearAllNoticeChanged)

public:
    /// How the removal of one project ended.
    enum class RemovalOutcome {
        removed,
        keptPublishing,
        keptCancelFailed,
        keptPageStatusCleanup, ///< never returned by the removal of one project
        keptUnregisterFailed,
        keptPersistenceFailed,
    };
    Q_ENUM(RemovalOutcome)

    explicit RemovalFlows(AppModel &model, QObject *parent = nullptr);

    /// Unregisters the project's connection from Claude Code while the project stays; failures
    /// show as the project's issue. `project` is a copy: the store's list may change meanwhile.
    QCoro::Task<> unregisterMCP(Project project);
    /// Removes a user-scope registration by name, reporting a failure in an error sheet (or as a
    /// line of a running batch's sheet); true exactly when claude removed it. Returns after the
    /// refresh that follows the command.
    QCoro::Task<bool> removeConnection(QString name);
    /// Removes one project: its site's upcoming publish, its registration, its metadata and its
    /// record, keeping it with an explaining issue wherever that cannot be done safely.
    QCoro::Task<RemovalOutcome> removeProject(Project project);
    /// Removes every project, one cloud cancellation per site; what is kept is counted into
    /// `clearAllNotice`.
    QCoro::Task<> removeAllProjects();
    /// Removes a registration Claude Code holds for one folder, through the driver's folder-bound
    /// removal; a failure opens an error sheet, a success refreshes.
    QCoro::Task<> removeLocalRegistration(QString name, QString folder);

    /// The confirmation text of a project's removal: whether the cloud is checked, and for what.
    [[nodiscard]] QString removalDescription(const Project &project) const;
    /// The projects by the site whose schedules one cancellation covers ("site:" and its id), or
    /// by their own connection ("mcp:" and its name) when no site is known; list order within each.
    [[nodiscard]] QMap<QString, QList<Project>> removalGroups(const QList<Project> &projects) const;

    /// Whether a removal of the project is running, so recovery at refresh must not take its
    /// recorded intent for an interrupted one.
    [[nodiscard]] bool isRemoving(const QUuid &projectId) const;

    /// How to tell that a batch run over the connections is under way, whose open sheet takes a
    /// failed removal as one line.
    void setBatchProbe(std::function<bool()> batchRunning);

    [[nodiscard]] bool isClearingAllProjects() const { return m_isClearingAllProjects; }
    [[nodiscard]] const std::optional<QString> &clearAllNotice() const { return m_clearAllNotice; }

    // What the views start; each runs on by itself.
    Q_INVOKABLE void unregister(const QUuid &projectId);
    Q_INVOKABLE void remove(const QUuid &projectId);
    Q_INVOKABLE void removeAll();
    Q_INVOKABLE void removeUnrecognized(const QString &name);
    Q_INVOKABLE void removeLocal(const QString &name, const QString &folder);
    Q_INVOKABLE [[nodiscard]] QString removalDescriptionFor(const QUuid &projectId) const;

signals:
    void isClearingAllProjectsChanged();
    void clearAllNoticeChanged();

private:
    /// How the removal of one project of a Remove All group ended.
    enum class GroupStep { removed, kept, accountChanged };

    [[nodiscard]] QString clearAllNoticeText() const { return m_clearAllNotice.value_or(QString()); }
    void setClearingAllProjects(bool clearing);
    void setClearAllNotice(const std::optional<QString> &notice);
    [[nodiscard]] std::optional<Project> project(const QUuid &id) const;
    [[nodiscard]] bool localStoresWritable() const;
    /// The notice shown instead of changing anything while a local store cannot save.
    void presentReadOnlyNotice();
    /// The account the schedule store works for, as removals compare it; none when signed out.
    [[nodiscard]] std::optional<CloudAuthSnapshot> removalIdentity() const;
    /// The site of a project as its own removal resolves it: the directory's record, else its id.
    [[nodiscard]] std::optional<QString> resolvedSiteID(const Project &project) const;
    [[nodiscard]] bool sharesSite(const Project &project) const;
    /// Shows why a registration was not removed: a line of a running batch's open sheet, else an
    /// error sheet of its own.
    void reportRemovalFailure(const QString &name, const QString &message);
    /// Registers a name again after its project could not be removed, with fresh metadata; true
    /// when it is registered again.
    QCoro::Task<bool> registerAgain(QString name);
    /// Finishes the removal's lease, when it holds one, and ends the removal with `outcome`.
    QCoro::Task<RemovalOutcome> releaseRemovalLease(RemovalOutcome outcome, bool committed,
                                                    std::optional<ProjectCancellationLease> lease, QUuid projectId);
    QCoro::Task<GroupStep> removeFromGroup(Project project, std::optional<CloudAuthSnapshot> start);

    AppModel &m_model;
    std::function<bool()> m_batchRunning;
    bool m_isClearingAllProjects = false;
    std::optional<QString> m_clearAllNotice;
    /// Projects whose own removal runs.
    QSet<QUuid> m_projectRemovalsInFlight;
    /// The project Remove All works on now.
    QSet<QUuid> m_clearingNow;
};
