// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "app/PageStatusTabState.h"
#include "app/PanelFilter.h"
#include "app/PanelState.h"
#include "app/TabFixture.h"

#include <QAbstractItemModelTester>
#include <QSettings>
#include <QSignalSpy>
#include <QTest>

#include <memory>

using Content = PageStatusTabRules::Content;

// The Page Status tab: what its column shows, its rows in the panel's search order, the refresh
// button, the empty state and the stored choice for new projects.
class tst_PageStatusTab : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TabFixture> m_fixture;
    AppModel *m_model = nullptr;
    PanelState *m_panel = nullptr;

    [[nodiscard]] QString settingsFile() const { return m_fixture->settingsFile(); }

    QUuid addProject(const QString &title)
    {
        const auto created = m_model->projectStore().createProject(title);
        if (!std::holds_alternative<Project>(created))
            return {};
        return std::get<Project>(created).id;
    }

    [[nodiscard]] static QStringList titles(const FilteredProjectsModel &rows)
    {
        QStringList shown;
        for (const FilteredProjectsModel::Row &row : rows.rows())
            shown.append(row.project.title);
        return shown;
    }

private slots:
    void init()
    {
        m_fixture = std::make_unique<TabFixture>();
        m_model = &m_fixture->model;
        m_panel = m_fixture->panel.get();
    }

    void cleanup() { m_fixture.reset(); }

    void rules_data()
    {
        QTest::addColumn<bool>("loading");
        QTest::addColumn<bool>("loadError");
        QTest::addColumn<Content>("content");
        QTest::newRow("loading wins over an old error") << true << true << Content::loading;
        QTest::newRow("a load error replaces the rows") << false << true << Content::loadError;
        QTest::newRow("rows") << false << false << Content::rows;
    }

    void rules()
    {
        QFETCH(bool, loading);
        QFETCH(bool, loadError);
        QFETCH(Content, content);
        QCOMPARE(PageStatusTabRules::content(loading, loadError), content);
    }

    void noMatches_data()
    {
        QTest::addColumn<bool>("searching");
        QTest::addColumn<bool>("filteredEmpty");
        QTest::addColumn<bool>("projectsEmpty");
        QTest::addColumn<bool>("shows");
        QTest::newRow("a search that finds none of several") << true << true << false << true;
        QTest::newRow("no projects at all") << true << true << true << false;
        QTest::newRow("a search that finds one") << true << false << false << false;
        QTest::newRow("no search") << false << true << false << false;
    }

    void noMatches()
    {
        QFETCH(bool, searching);
        QFETCH(bool, filteredEmpty);
        QFETCH(bool, projectsEmpty);
        QFETCH(bool, shows);
        QCOMPARE(PageStatusTabRules::showsNoMatches(searching, filteredEmpty, projectsEmpty), shows);
    }

    void texts()
    {
        QCOMPARE(PanelFilter::noMatchesText(QStringLiteral("  acme ")), QStringLiteral("No matches for “acme”"));
        QCOMPARE(PageStatusTabRules::refreshLabel(true), QStringLiteral("Refreshing…"));
        QCOMPARE(PageStatusTabRules::refreshLabel(false), QStringLiteral("Refresh"));
    }

    void rowsFollowTheSearch()
    {
        PageStatusTabState tab;
        QAbstractItemModelTester tester(tab.rows());
        tab.setModel(m_model);
        tab.setPanel(m_panel);
        QVERIFY(addProject(QStringLiteral("zeta Studio")) != QUuid());
        const QUuid acme = addProject(QStringLiteral("Acme"));
        QVERIFY(addProject(QStringLiteral("beta")) != QUuid());
        // By title, case-insensitively.
        QCOMPARE(titles(*tab.rows()), (QStringList{QStringLiteral("Acme"), QStringLiteral("beta"), QStringLiteral("zeta Studio")}));
        QCOMPARE(tab.rows()->data(tab.rows()->index(0), FilteredProjectsModel::ProjectIdRole).toString(),
                 acme.toString(QUuid::WithoutBraces).toUpper());

        m_panel->setSearchText(QStringLiteral(" ACME "));
        QCOMPARE(titles(*tab.rows()), QStringList{QStringLiteral("Acme")});
        QVERIFY(!tab.showsNoMatches());
        m_panel->setSearchText(QStringLiteral("nothing"));
        QVERIFY(tab.rows()->rows().isEmpty());
        QVERIFY(tab.showsNoMatches());
        QCOMPARE(tab.noMatchesText(), QStringLiteral("No matches for “nothing”"));
        // A blank search does not filter.
        m_panel->setSearchText(QStringLiteral("   "));
        QCOMPARE(tab.rows()->rowCount(), 3);
    }

    void firstRunAndContent()
    {
        PageStatusTabState tab;
        tab.setModel(m_model);
        tab.setPanel(m_panel);
        // Until the first registry read the column shows the reading row, and no empty state.
        QCOMPARE(tab.contentName(), QStringLiteral("loading"));
        QVERIFY(!tab.showsFirstRunCard());
        QSignalSpy changed(&tab, &PageStatusTabState::changed);
        m_model->refresh(true);
        QTRY_VERIFY(!m_model->isLoading());
        QVERIFY(!changed.isEmpty());
        QCOMPARE(tab.contentName(), QStringLiteral("rows"));
        QVERIFY(tab.showsFirstRunCard());
        // Opening the add field ends the first-run condition at once.
        m_model->adding().setShowingAdd(true);
        QVERIFY(!tab.showsFirstRunCard());
        m_model->adding().setShowingAdd(false);
        QVERIFY(addProject(QStringLiteral("Acme")) != QUuid());
        QVERIFY(!tab.showsFirstRunCard());
        // With no projects a search shows nothing, not a no-match line.
        QVERIFY(!tab.showsNoMatches());
    }

    void refreshFollowsTheStore()
    {
        PageStatusTabState tab;
        tab.setModel(m_model);
        tab.setPanel(m_panel);
        QCOMPARE(tab.refreshLabel(), QStringLiteral("Refresh"));
        QVERIFY(tab.refreshEnabled());
        // The button neither sets nor clears the store's checking flag.
        tab.refreshPageStatus();
        QVERIFY(tab.refreshEnabled());
        QCOMPARE(tab.lastError(), QString());
        QCOMPARE(tab.lastNotice(), QString());
    }

    void infoPageAndTheStoredChoice()
    {
        {
            PageStatusTabState tab;
            tab.setModel(m_model);
            tab.setPanel(m_panel);
            tab.showInfo();
            QVERIFY(m_panel->pageStatusShowingInfo());
            tab.hideInfo();
            QVERIFY(!m_panel->pageStatusShowingInfo());

            QVERIFY(!tab.enableNewProjectsByDefault());
            QSignalSpy changed(&tab, &PageStatusTabState::enableNewProjectsByDefaultChanged);
            tab.setEnableNewProjectsByDefault(true);
            QCOMPARE(changed.size(), 1);
            QVERIFY(tab.enableNewProjectsByDefault());
            // Written at once, under the key every reader shares.
            QVERIFY(QSettings(settingsFile(), QSettings::IniFormat)
                        .value(QStringLiteral("pageStatusEnableNewProjectsByDefault"))
                        .toBool());
        }
        // It survives a restart: a new model over the same settings file reads it.
        m_fixture->panel.reset();
        AppModel::Environment environment;
        environment.systemLog = &m_fixture->harness.systemLog;
        environment.driver = m_fixture->harness.claude.configuration();
        environment.settingsFile = settingsFile();
        environment.baseFolder = m_fixture->harness.home.filePath(QStringLiteral("restarted"));
        environment.loginItem = LoginItem(QStringLiteral("quorvane"), QStringLiteral("/usr/bin/quorvane"),
                                          m_fixture->harness.home.filePath(QStringLiteral("autostart")));
        AppModel restarted(std::move(environment));
        PanelState panel(restarted, m_fixture->harness.clock, m_fixture->harness.time.delay());
        PageStatusTabState again;
        again.setModel(&restarted);
        again.setPanel(&panel);
        QVERIFY(again.enableNewProjectsByDefault());
    }
};

QTEST_GUILESS_MAIN(tst_PageStatusTab)
#include "tst_PageStatusTab.moc"
