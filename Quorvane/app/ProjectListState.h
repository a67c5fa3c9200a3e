// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include "app/FilteredProjectsModel.h"
#include "app/ProjectListRows.h"

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QVariantList>
#include <QtQml/qqmlregistration.h>

class AppModel;

/**
 * @brief What the Connections tab's list shows and does: the project cards in the search's order,
 * the sites with publishing access but no project, the unmanaged entries, the how-to card and the
 * no-match line, and the questions its buttons ask. It follows the model's stores and lists, and
 * the search text the panel hands it.
 */
class ProjectListState : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(AppModel *model READ model WRITE setModel NOTIFY modelChanged)
    /// The search field's text as typed.
    Q_PROPERTY(QString searchText READ searchText WRITE setSearchText NOTIFY searchTextChanged)
    /// One row per project card: "projectId", "title", "mcpName", "siteId".
    Q_PROPERTY(FilteredProjectsModel *projects READ projectsObject CONSTANT)
    /// One row per unmanaged entry: "key", "name", "url", "transport", "reason", "folder", "busy".
    Q_PROPERTY(UnrecognizedCardRows *unrecognized READ unrecognizedObject CONSTANT)
    /// One row per site with publishing access but no project: "siteId", "name", "pending", "assignable".
    Q_PROPERTY(OrphanSiteRows *orphans READ orphansObject CONSTANT)
    Q_PROPERTY(bool showsHowTo READ showsHowTo NOTIFY sectionsChanged)
    Q_PROPERTY(bool showsNoMatches READ showsNoMatches NOTIFY sectionsChanged)
    Q_PROPERTY(QString noMatchesText READ noMatchesText NOTIFY sectionsChanged)
    Q_PROPERTY(bool showsOrphans READ showsOrphans NOTIFY sectionsChanged)

public:
    explicit ProjectListState(QObject *parent = nullptr);

    [[nodiscard]] AppModel *model() const { return m_model; }
    void setModel(AppModel *model);
    [[nodiscard]] const QString &searchText() const { return m_searchText; }
    void setSearchText(const QString &text);

    [[nodiscard]] FilteredProjectsModel &projects() { return m_projects; }
    [[nodiscard]] UnrecognizedCardRows &unrecognized() { return m_unrecognized; }
    [[nodiscard]] OrphanSiteRows &orphans() { return m_orphans; }
    [[nodiscard]] bool showsHowTo() const { return m_sections.howTo; }
    [[nodiscard]] bool showsNoMatches() const { return m_sections.noMatches; }
    [[nodiscard]] bool showsOrphans() const { return m_sections.orphans; }
    [[nodiscard]] QString noMatchesText() const;

    /// The unmanaged entry's remove button: asks first, then removes the entry as it was when asked.
    Q_INVOKABLE void confirmRemoval(const QString &key);
    /// The items of a site's Assign menu: "projectId", "title" and "enabled" each; one disabled
    /// "Add a project first" when no project can take the site. Remembers the projects as they
    /// are now, for the assignment that follows.
    Q_INVOKABLE QVariantList assignMenu(const QString &siteId);
    /// Binds the project to the site, unless the project has meanwhile come to stand for another.
    Q_INVOKABLE void assignSite(const QString &projectId, const QString &siteId);
    /// The site's Revoke or Retry Cleanup button: asks first, then disconnects publishing.
    Q_INVOKABLE void confirmRevoke(const QString &siteId);
    /// The how-to card: opens the intro wizard.
    Q_INVOKABLE void openHowTo();

signals:
    void modelChanged();
    void searchTextChanged();
    void sectionsChanged();

private:
    [[nodiscard]] FilteredProjectsModel *projectsObject() { return &m_projects; }
    [[nodiscard]] UnrecognizedCardRows *unrecognizedObject() { return &m_unrecognized; }
    [[nodiscard]] OrphanSiteRows *orphansObject() { return &m_orphans; }
    void follow();
    void update();

    QPointer<AppModel> m_model;
    QString m_searchText;
    FilteredProjectsModel m_projects;
    UnrecognizedCardRows m_unrecognized;
    OrphanSiteRows m_orphans;
    ProjectListRules::Sections m_sections;
    /// The projects as they were when an Assign menu was last built.
    QHash<QString, Project> m_menuProjects;
    QList<QMetaObject::Connection> m_connections;
};
