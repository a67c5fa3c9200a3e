// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include "app/ScopeVerification.h"
#include "model/ActivitySheet.h"
#include "model/Project.h"

#include <QCoro/QCoroTask>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QUuid>

#include <functional>

class AppModel;

/**
 * @brief Authorizing a connection in the browser through claude's login, checking which sites the
 * grant reaches, correcting an over-broad grant, moving a project to its verified site, and
 * authorizing many connections in one run.
 */
class AuthorizeFlow final : public QObject
{
    Q_OBJECT
    /// A batch run over the connections is under way; a second one is refused meanwhile.
    Q_PROPERTY(bool isBatchRunning READ isBatchRunning NOTIFY isBatchRunningChanged)
    /// The scope check of single connections, which the project card offers.
    Q_PROPERTY(ScopeVerification *scope READ scopeObject CONSTANT)

public:
    /// One connection's work inside a batch, given the name and the batch's activity id.
    using BatchStep = std::function<QCoro::Task<ActivitySheet::Outcome>(QString name, QUuid activityId)>;

    explicit AuthorizeFlow(AppModel &model, QObject *parent = nullptr);

    [[nodiscard]] ScopeVerification &scope() { return m_scope; }

    /// Authorizes the named connection in an activity sheet, then checks its scope.
    QCoro::Task<> authorize(QString name);
    /// The work of one authorization without the sheet: the saved intent, the login under a
    /// terminal, then the scope check.
    QCoro::Task<ActivitySheet::Outcome> performAuthorization(QString name, QUuid activityId);
    /// Ends the authorization's hold on the connection and brings the project's issue in line
    /// with the recorded scope.
    void endAuthorization(const QString &name);
    /// Sets or clears the project's issue by how many sites the recorded scope reaches.
    void updateScopeIssue(const QString &name);
    /// Forgets the cancellations that a cancel queued for the connection's login and scope check
    /// while neither ran, so they cannot stop the next authorization.
    void dropQueuedCancellations(const QString &name);

    /// Asks to move a project to the site its connection now verifies.
    void moveProject(const Project &project);
    /// The project card's "Move": `moveProject` for the project with that id.
    Q_INVOKABLE void moveProjectWithId(const QUuid &projectId);

    /// Works through the names one at a time in one sheet and ends with a summary of the outcomes.
    QCoro::Task<> runBatch(ActivitySheet::Kind kind, QString title, QString verb, QString note, QStringList names,
                           BatchStep step);
    /// "Connect All MCPs": authorizes every connection that needs it, one consent flow at a time.
    Q_INVOKABLE void connectAll();
    /// The connections whose live status asks for authorization, in list order.
    [[nodiscard]] QStringList connectionsNeedingAuth() const;
    [[nodiscard]] bool isBatchRunning() const { return m_isBatchRunning; }

signals:
    void isBatchRunningChanged();

private:
    [[nodiscard]] ScopeVerification *scopeObject() { return &m_scope; }
    void setBatchRunning(bool running);

    AppModel &m_model;
    ScopeVerification m_scope;
    bool m_isBatchRunning = false;
};
