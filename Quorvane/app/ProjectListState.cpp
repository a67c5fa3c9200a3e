// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "app/ProjectListState.h"

#include "app/AppModel.h"
#include "app/PanelFilter.h"
#include "panel/ProjectBinding.h"

#include <QUuid>

namespace {

const QString kProjectStoreArea = QStringLiteral("project-store");

} // namespace

ProjectListState::ProjectListState(QObject *parent)
    : QObject(parent)
{
}

void ProjectListState::setModel(AppModel *model)
{
    if (m_model == model)
        return;
    m_model = model;
    follow();
    update();
    emit modelChanged();
}

void ProjectListState::setSearchText(const QString &text)
{
    if (m_searchText == text)
        return;
    m_searchText = text;
    update();
    emit searchTextChanged();
}

QString ProjectListState::noMatchesText() const
{
    return PanelFilter::noMatchesText(m_searchText);
}

void ProjectListState::follow()
{
    for (const QMetaObject::Connection &connection : std::as_const(m_connections))
        disconnect(connection);
    m_connections.clear();
    if (!m_model)
        return;
    const auto watch = [this](auto *sender, auto signal) {
        m_connections.append(connect(sender, signal, this, &ProjectListState::update));
    };
    AppModel &model = *m_model;
    watch(&model, &AppModel::busyChanged);
    watch(&model, &AppModel::isLoadingChanged);
    // The unmanaged entries change only through their rows.
    const auto *entries = &model.unrecognizedRows();
    watch(entries, &QAbstractItemModel::rowsInserted);
    watch(entries, &QAbstractItemModel::rowsRemoved);
    watch(entries, &QAbstractItemModel::rowsMoved);
    watch(entries, &QAbstractItemModel::dataChanged);
    watch(entries, &QAbstractItemModel::modelReset);
    watch(&model.projectStore(), &ProjectStore::projectsChanged);
    watch(&model.siteDirectory(), &SiteDirectory::sitesChanged);
    for (LocalStore *store : {static_cast<LocalStore *>(&model.projectStore()),
                              static_cast<LocalStore *>(&model.connectionStore()),
                              static_cast<LocalStore *>(&model.siteDirectory())})
        watch(store, &LocalStore::persistenceWritableChanged);
    PublishAccessStore &access = model.publishAccess();
    watch(&access, &PublishAccessStore::availableChanged);
    watch(&access, &PublishAccessStore::connectedSiteIDsChanged);
    watch(&access, &PublishAccessStore::pendingRevocationSiteIDsChanged);
    watch(&access, &PublishAccessStore::recoveryRequiredSiteIDsChanged);
    watch(&access, &PublishAccessStore::siteNamesChanged);
}

void ProjectListState::update()
{
    if (!m_model) {
        m_projects.update({});
        m_unrecognized.update({}, {});
        m_orphans.update({});
        if (m_sections != ProjectListRules::Sections{}) {
            m_sections = {};
            emit sectionsChanged();
        }
        return;
    }
    AppModel &model = *m_model;
    const QList<SiteRecord> &sites = model.siteDirectory().sites();
    const QList<Project> &stored = model.projectStore().projects();
    const QList<Project> projects = PanelFilter::filteredProjects(
        stored, m_searchText, [&sites](const Project &project) { return ProjectBinding::siteRecordFor(project, sites); });
    const QList<UnrecognizedServer> entries = PanelFilter::filteredUnrecognized(model.unrecognized(), m_searchText);
    const QStringList orphanSites = model.knownSiteIDs();
    const bool localSaving = model.projectStore().persistenceWritable()
        && model.connectionStore().persistenceWritable() && model.siteDirectory().persistenceWritable();
    const PublishAccessStore &access = model.publishAccess();

    const ProjectListRules::Sections sections = ProjectListRules::sections(
        {!stored.isEmpty(), PanelFilter::isSearching(m_searchText), !projects.isEmpty(), !entries.isEmpty(),
         access.available(), !orphanSites.isEmpty()});

    m_projects.update(projects);
    m_unrecognized.update(entries, model.busy());
    m_orphans.update(ProjectListRules::orphanRows(
        sections.orphans ? orphanSites : QStringList(),
        [&model](const QString &siteId) { return model.siteDisplayName(siteId); }, access.pendingRevocationSiteIDs(),
        access.available(), localSaving));
    // The search term may change without the sections changing; the line quotes it.
    m_sections = sections;
    emit sectionsChanged();
}

void ProjectListState::confirmRemoval(const QString &key)
{
    const std::optional<UnrecognizedServer> entry = m_unrecognized.entry(key);
    if (!m_model || !entry)
        return;
    QPointer<AppModel> model = m_model;
    m_model->confirms().present(ProjectListRules::unrecognizedRemoval(*entry, [model](const UnrecognizedServer &entry) {
        if (!model)
            return;
        if (ProjectListRules::removesLocally(entry))
            (void)model->removal().removeLocalRegistration(entry.name, *entry.folder);
        else
            (void)model->removal().removeConnection(entry.name);
    }));
}

QVariantList ProjectListState::assignMenu(const QString &siteId)
{
    QVariantList items;
    m_menuProjects.clear();
    if (!m_model)
        return items;
    const QList<Project> candidates = ProjectListRules::assignCandidates(m_model->projectStore().projects(),
                                                                         m_model->siteDirectory().sites(), siteId);
    for (const Project &project : candidates) {
        const QString id = project.id.toString(QUuid::WithoutBraces);
        m_menuProjects.insert(id, project);
        items.append(QVariantMap{{QStringLiteral("projectId"), id},
                                 {QStringLiteral("title"), project.title},
                                 {QStringLiteral("enabled"), true}});
    }
    if (items.isEmpty())
        items.append(QVariantMap{{QStringLiteral("projectId"), QString()},
                                 {QStringLiteral("title"), QStringLiteral("Add a project first")},
                                 {QStringLiteral("enabled"), false}});
    return items;
}

void ProjectListState::assignSite(const QString &projectId, const QString &siteId)
{
    if (!m_model)
        return;
    AppModel &model = *m_model;
    const auto captured = m_menuProjects.constFind(projectId);
    if (captured == m_menuProjects.cend())
        return;
    const Project project = *captured;
    // The project may have come to stand for another site since the menu was built.
    const std::optional<QString> key = ProjectListRules::siteKey(project, model.siteDirectory().sites());
    if (key && *key != siteId)
        return;
    (void)model.siteDirectory().markPublishingConnected(siteId, model.siteDisplayName(siteId));
    const ProjectStore::SaveResult saved = model.projectStore().setSiteId(project.id, siteId);
    // A refusal (the project is gone, or already names the site) has nothing to tell; a failed
    // save leaves the site without its project, which the user must learn.
    if (!saved || saved->kind == ProjectStore::SaveFailure::Kind::invalid)
        return;
    model.errorLog().record(kProjectStoreArea, saved->message, model.clock().now());
    model.confirms().present(
        ConfirmRequest::notice(QStringLiteral("Couldn't assign ") + ProjectListRules::shownName(model.siteDisplayName(siteId)),
                               saved->message, QStringLiteral("exclamationmark.triangle.fill")));
}

void ProjectListState::confirmRevoke(const QString &siteId)
{
    if (!m_model)
        return;
    const PublishAccessStore &access = m_model->publishAccess();
    const bool pending = access.available() && access.pendingRevocationSiteIDs().contains(siteId);
    QPointer<AppModel> model = m_model;
    m_model->confirms().present(ProjectListRules::orphanRevocation(
        pending, ProjectListRules::shownName(m_model->siteDisplayName(siteId)), [model, siteId] {
            if (model)
                (void)model->publishing().disconnectPublishing(siteId, std::nullopt);
        }));
}

void ProjectListState::openHowTo()
{
    if (m_model)
        m_model->openIntro();
}
