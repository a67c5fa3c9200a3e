// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include "model/ConnectionStatus.h"
#include "model/ConnectionStore.h"
#include "model/Project.h"
#include "model/ProjectStore.h"
#include "model/SiteDirectory.h"
#include "model/SiteRecord.h"
#include "publishing/PublishAccessStore.h"
#include "scheduling/ScheduleStore.h"
#include "panel/Desktop.h"
#include "panel/ProjectActions.h"

#include <QAbstractItemModel>
#include <QObject>
#include <QPointer>
#include <QQmlParserStatus>
#include <QStringList>
#include <QtQml/qqmlregistration.h>

#include <optional>

/**
 * @brief One project as a view sees it: the stored project, its connection's status and its site
 * record, followed through the stores and the model's lists. The project card and the Webflow
 * button stand on it; `changed` tells them to read again.
 *
 * It keeps the last project it saw, so a card whose project has just been removed still shows it
 * until the panel takes the card away.
 */
class ProjectBinding : public QObject, public QQmlParserStatus
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("Use ProjectCardController or WebflowLink.")
    Q_INTERFACES(QQmlParserStatus)
    /**
     * The application model, or a stand-in with the same property names: the stores
     * (projectStore, connectionStore, siteDirectory, scheduleStore, publishAccess), the
     * connections list and the flags isLoading, busy and statusChecksInFlight. Setting it sets
     * the inputs below and keeps the flags followed.
     */
    Q_PROPERTY(QObject *appModel READ appModel WRITE setAppModel NOTIFY inputsChanged)
    /// The project's id as stored (with or without braces).
    Q_PROPERTY(QString projectId READ projectId WRITE setProjectId NOTIFY inputsChanged)
    Q_PROPERTY(ProjectStore *projectStore READ projectStore WRITE setProjectStore NOTIFY inputsChanged)
    Q_PROPERTY(ConnectionStore *connectionStore READ connectionStore WRITE setConnectionStore NOTIFY inputsChanged)
    Q_PROPERTY(SiteDirectory *siteDirectory READ siteDirectory WRITE setSiteDirectory NOTIFY inputsChanged)
    Q_PROPERTY(ScheduleStore *scheduleStore READ scheduleStore WRITE setScheduleStore NOTIFY inputsChanged)
    Q_PROPERTY(PublishAccessStore *publishAccess READ publishAccess WRITE setPublishAccess NOTIFY inputsChanged)
    /// The model's managed connections: rows with the roles "name" and "status" (the raw text).
    Q_PROPERTY(QAbstractItemModel *connections READ connections WRITE setConnections NOTIFY inputsChanged)
    /// The model has not read Claude's registry yet.
    Q_PROPERTY(bool loading READ loading WRITE setLoading NOTIFY inputsChanged)
    /// The connection names the model works on.
    Q_PROPERTY(QStringList busyNames READ busyNames WRITE setBusyNames NOTIFY inputsChanged)
    /// The connection names whose live check runs.
    Q_PROPERTY(QStringList checkingNames READ checkingNames WRITE setCheckingNames NOTIFY inputsChanged)
    Q_PROPERTY(ProjectActions *actions READ actions WRITE setActions NOTIFY inputsChanged)
    Q_PROPERTY(Desktop *desktop READ desktop WRITE setDesktop NOTIFY inputsChanged)

    Q_PROPERTY(QString title READ title NOTIFY changed)
    Q_PROPERTY(QString mcpName READ mcpName NOTIFY changed)
    /// The site's display name, or the project's title without a site record.
    Q_PROPERTY(QString siteLabel READ siteLabel NOTIFY changed)

public:
    explicit ProjectBinding(QObject *parent = nullptr);

    [[nodiscard]] QObject *appModel() const { return m_appModel; }
    void setAppModel(QObject *model);
    [[nodiscard]] QString projectId() const { return m_projectId; }
    void setProjectId(const QString &id);
    void setProjectStore(ProjectStore *store);
    void setConnectionStore(ConnectionStore *store);
    void setSiteDirectory(SiteDirectory *directory);
    void setScheduleStore(ScheduleStore *store);
    void setPublishAccess(PublishAccessStore *store);
    void setConnections(QAbstractItemModel *connections);
    void setLoading(bool loading);
    void setBusyNames(const QStringList &names);
    void setCheckingNames(const QStringList &names);
    void setActions(ProjectActions *actions);
    void setDesktop(Desktop *desktop);

    [[nodiscard]] ProjectStore *projectStore() const { return m_projectStore; }
    [[nodiscard]] ConnectionStore *connectionStore() const { return m_connectionStore; }
    [[nodiscard]] SiteDirectory *siteDirectory() const { return m_siteDirectory; }
    [[nodiscard]] ScheduleStore *scheduleStore() const { return m_scheduleStore; }
    [[nodiscard]] PublishAccessStore *publishAccess() const { return m_publishAccess; }
    [[nodiscard]] QAbstractItemModel *connections() const { return m_connections; }
    [[nodiscard]] bool loading() const { return m_loading; }
    [[nodiscard]] const QStringList &busyNames() const { return m_busyNames; }
    [[nodiscard]] const QStringList &checkingNames() const { return m_checkingNames; }
    [[nodiscard]] ProjectActions *actions() const { return m_actions; }
    [[nodiscard]] Desktop *desktop() const { return m_desktop; }

    /// The project as last seen in the store; none before it was ever found.
    [[nodiscard]] const std::optional<Project> &project() const { return m_project; }
    [[nodiscard]] QString title() const { return m_project ? m_project->title : QString(); }
    [[nodiscard]] QString mcpName() const { return m_project ? m_project->mcpName : QString(); }
    /// The status of the connection named like the project's server; none when there is none.
    [[nodiscard]] std::optional<ConnectionStatus> connectionStatus() const;
    /// The site bound to the project, else the first whose connections hold its server.
    [[nodiscard]] std::optional<SiteRecord> siteRecord() const;
    [[nodiscard]] QString siteLabel() const;
    /// The site record's id, else the project's own site id.
    [[nodiscard]] std::optional<QString> resolvedSiteID() const;

    /// The site record a project has among these sites: the one with its site id when it has one
    /// (none when the directory lacks it), else the first listing its server name.
    [[nodiscard]] static std::optional<SiteRecord> siteRecordFor(const Project &project, const QList<SiteRecord> &sites);

    void classBegin() override {}
    void componentComplete() override;

signals:
    void inputsChanged();
    /// Something the view shows may have changed.
    void changed();

protected slots:
    /// Reads the project again and tells the view.
    void update();

private slots:
    /// Reads the application model's flags again.
    void pullFlags();

private:
    /// Makes every change `object` announces of its properties an update; forgets the previous one.
    void follow(QObject *previous, QObject *object);

    QPointer<QObject> m_appModel;
    QString m_projectId;
    std::optional<Project> m_project;
    QPointer<ProjectStore> m_projectStore;
    QPointer<ConnectionStore> m_connectionStore;
    QPointer<SiteDirectory> m_siteDirectory;
    QPointer<ScheduleStore> m_scheduleStore;
    QPointer<PublishAccessStore> m_publishAccess;
    QPointer<QAbstractItemModel> m_connections;
    bool m_loading = false;
    QStringList m_busyNames;
    QStringList m_checkingNames;
    QPointer<ProjectActions> m_actions;
    QPointer<Desktop> m_desktop;
    bool m_complete = false;
};
