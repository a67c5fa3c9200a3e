// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include "model/ActivitySheet.h"
#include "model/Project.h"
#include "model/SiteRecord.h"
#include "model/SiteRef.h"

#include <QCoro/QCoroTask>
#include <QObject>
#include <QString>
#include <QUuid>

#include <optional>

class AppModel;
namespace ClaudeCLI {
struct ScopeCheckResult;
}

/**
 * @brief Which Webflow sites a connection's grant reaches, and what follows from the answer: the
 * recorded scope spread into the connection list, the site directory and the projects, and the
 * removal of a grant that reaches more than one site.
 *
 * A check records nothing when the grant was replaced while it ran: the authorization stamp (the
 * metadata's `addedAt`, moved by every authorization and re-registration) is read before and after.
 */
class ScopeVerification final : public QObject
{
    Q_OBJECT

public:
    explicit ScopeVerification(AppModel &model, QObject *parent = nullptr);

    /// Checks one connection's scope in its own activity sheet, then refreshes and removes an
    /// over-broad grant unless the user cancelled.
    QCoro::Task<> verifyScope(QString name);
    /// The project card's "Verify Site": starts `verifyScope`.
    Q_INVOKABLE void verify(const QString &name);
    /// The check without the sheet: the name is busy while it runs.
    QCoro::Task<ActivitySheet::Outcome> performVerification(QString name, QUuid activityId);
    /// Runs the scope check, records a conclusive answer and logs every outcome to the activity.
    QCoro::Task<ActivitySheet::Outcome> checkScope(QString name, QUuid activityId, bool refreshAfterwards);
    /// Spreads what is stored for one connection into the connection list, the site directory and
    /// the projects.
    void recordVerifiedScope(const QString &name);
    /// The site record a project works on: its own site's, else the first that lists its connection.
    [[nodiscard]] std::optional<SiteRecord> siteRecord(const Project &project) const;

    /// When the stored scope reaches two or more sites, removes that authorization from Claude Code
    /// and registers the server again, leaving the project an issue that asks for a new connect.
    QCoro::Task<> removeOverbroadAuthorization(QString name);
    /// How a single connection's sheet ends: finished with its outcome, the over-broad grant removed
    /// unless the user cancelled, then the activity forgotten.
    QCoro::Task<> concludeActivity(QString name, QUuid activityId, ActivitySheet::Outcome outcome);

private:
    [[nodiscard]] ActivitySheet::Outcome couldNotVerify(const QString &name, const QUuid &activityId,
                                                        const ClaudeCLI::ScopeCheckResult &result);
    /// The record branch; nothing when the result could not be saved.
    [[nodiscard]] std::optional<ActivitySheet::Outcome> recordResult(const QString &name, const QUuid &activityId,
                                                                     const QList<SiteRef> &sites);
    void setIssue(const QString &issue, const QString &name, Project::IssueRecovery recovery);

    AppModel &m_model;
};
