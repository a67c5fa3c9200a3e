// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "panel/ProjectBinding.h"

#include "model/ConnectionStore.h"
#include "model/ProjectStore.h"
#include "model/SiteDirectory.h"
#include "publishing/PublishAccessStore.h"
#include "scheduling/ScheduleStore.h"

#include <QMetaMethod>
#include <QMetaProperty>

ProjectBinding::ProjectBinding(QObject *parent)
    : QObject(parent)
{
}

void ProjectBinding::componentComplete()
{
    m_complete = true;
    update();
}

void ProjectBinding::follow(QObject *previous, QObject *object)
{
    if (previous)
        disconnect(previous, nullptr, this, nullptr);
    if (!object)
        return;
    const QMetaMethod slot = metaObject()->method(metaObject()->indexOfMethod("update()"));
    if (auto *model = qobject_cast<QAbstractItemModel *>(object)) {
        connect(model, &QAbstractItemModel::dataChanged, this, &ProjectBinding::update);
        connect(model, &QAbstractItemModel::rowsInserted, this, &ProjectBinding::update);
        connect(model, &QAbstractItemModel::rowsRemoved, this, &ProjectBinding::update);
        connect(model, &QAbstractItemModel::rowsMoved, this, &ProjectBinding::update);
        connect(model, &QAbstractItemModel::modelReset, this, &ProjectBinding::update);
        connect(model, &QAbstractItemModel::layoutChanged, this, &ProjectBinding::update);
        return;
    }
    // A store announces each of its observable fields; whichever changes, the view reads again.
    const QMetaObject *meta = object->metaObject();
    for (int i = 0; i < meta->propertyCount(); ++i) {
        const QMetaProperty property = meta->property(i);
        if (property.hasNotifySignal())
            connect(object, property.notifySignal(), this, slot, Qt::UniqueConnection);
    }
}

void ProjectBinding::setAppModel(QObject *model)
{
    if (model == m_appModel)
        return;
    if (m_appModel)
        disconnect(m_appModel, nullptr, this, nullptr);
    m_appModel = model;
    if (model) {
        const auto object = [model](const char *name) { return model->property(name).value<QObject *>(); };
        setProjectStore(qobject_cast<ProjectStore *>(object("projectStore")));
        setConnectionStore(qobject_cast<ConnectionStore *>(object("connectionStore")));
        setSiteDirectory(qobject_cast<SiteDirectory *>(object("siteDirectory")));
        setScheduleStore(qobject_cast<ScheduleStore *>(object("scheduleStore")));
        setPublishAccess(qobject_cast<PublishAccessStore *>(object("publishAccess")));
        setConnections(qobject_cast<QAbstractItemModel *>(object("connections")));
        const QMetaObject *meta = model->metaObject();
        const QMetaMethod pull = metaObject()->method(metaObject()->indexOfMethod("pullFlags()"));
        for (const char *flag : {"isLoading", "busy", "statusChecksInFlight"}) {
            const int index = meta->indexOfProperty(flag);
            if (index >= 0 && meta->property(index).hasNotifySignal())
                connect(model, meta->property(index).notifySignal(), this, pull, Qt::UniqueConnection);
        }
        pullFlags();
    }
    emit inputsChanged();
}

void ProjectBinding::pullFlags()
{
    if (!m_appModel)
        return;
    setLoading(m_appModel->property("isLoading").toBool());
    setBusyNames(m_appModel->property("busy").toStringList());
    setCheckingNames(m_appModel->property("statusChecksInFlight").toStringList());
}

void ProjectBinding::setProjectId(const QString &id)
{
    if (id == m_projectId)
        return;
    m_projectId = id;
    m_project.reset();
    emit inputsChanged();
    update();
}

#define PROJECT_BINDING_SETTER(Setter, Type, field)                                                                    \
    void ProjectBinding::Setter(Type *value)                                                                           \
    {                                                                                                                  \
        if (value == field)                                                                                            \
            return;                                                                                                    \
        follow(field, value);                                                                                          \
        field = value;                                                                                                 \
        emit inputsChanged();                                                                                          \
        update();                                                                                                      \
    }

PROJECT_BINDING_SETTER(setProjectStore, ProjectStore, m_projectStore)
PROJECT_BINDING_SETTER(setConnectionStore, ConnectionStore, m_connectionStore)
PROJECT_BINDING_SETTER(setSiteDirectory, SiteDirectory, m_siteDirectory)
PROJECT_BINDING_SETTER(setScheduleStore, ScheduleStore, m_scheduleStore)
PROJECT_BINDING_SETTER(setPublishAccess, PublishAccessStore, m_publishAccess)
PROJECT_BINDING_SETTER(setConnections, QAbstractItemModel, m_connections)

#undef PROJECT_BINDING_SETTER

void ProjectBinding::setLoading(bool loading)
{
    if (loading == m_loading)
        return;
    m_loading = loading;
    emit inputsChanged();
    update();
}

void ProjectBinding::setBusyNames(const QStringList &names)
{
    if (names == m_busyNames)
        return;
    m_busyNames = names;
    emit inputsChanged();
    update();
}

void ProjectBinding::setCheckingNames(const QStringList &names)
{
    if (names == m_checkingNames)
        return;
    m_checkingNames = names;
    emit inputsChanged();
    update();
}

void ProjectBinding::setActions(ProjectActions *actions)
{
    if (actions == m_actions)
        return;
    m_actions = actions;
    emit inputsChanged();
}

void ProjectBinding::setDesktop(Desktop *desktop)
{
    if (desktop == m_desktop)
        return;
    m_desktop = desktop;
    emit inputsChanged();
}

void ProjectBinding::update()
{
    if (m_projectStore) {
        const QUuid id(m_projectId);
        for (const Project &project : m_projectStore->projects()) {
            if (project.id == id) {
                m_project = project;
                break;
            }
        }
    }
    // While QML is still setting the inputs one by one, the view has nothing to read yet.
    if (m_complete)
        emit changed();
}

std::optional<ConnectionStatus> ProjectBinding::connectionStatus() const
{
    if (!m_connections || !m_project)
        return std::nullopt;
    const QHash<int, QByteArray> roles = m_connections->roleNames();
    const int nameRole = roles.key("name", -1);
    const int statusRole = roles.key("status", -1);
    for (int row = 0; row < m_connections->rowCount(); ++row) {
        const QModelIndex index = m_connections->index(row, 0);
        if (index.data(nameRole).toString() != m_project->mcpName)
            continue;
        // An unreadable status is no status the card can act on: it waits, as for an unknown one.
        return connectionStatusFromRawText(index.data(statusRole).toString()).value_or(ConnectionStatus::unknown);
    }
    return std::nullopt;
}

std::optional<SiteRecord> ProjectBinding::siteRecordFor(const Project &project, const QList<SiteRecord> &sites)
{
    if (project.siteId) {
        for (const SiteRecord &site : sites) {
            if (site.id == *project.siteId)
                return site;
        }
        return std::nullopt;
    }
    for (const SiteRecord &site : sites) {
        if (site.connections.contains(project.mcpName))
            return site;
    }
    return std::nullopt;
}

std::optional<SiteRecord> ProjectBinding::siteRecord() const
{
    if (!m_project || !m_siteDirectory)
        return std::nullopt;
    return siteRecordFor(*m_project, m_siteDirectory->sites());
}

QString ProjectBinding::siteLabel() const
{
    if (const std::optional<SiteRecord> site = siteRecord())
        return site->displayName();
    return title();
}

std::optional<QString> ProjectBinding::resolvedSiteID() const
{
    if (const std::optional<SiteRecord> site = siteRecord())
        return site->id;
    return m_project ? m_project->siteId : std::nullopt;
}
