// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "app/AppModel.h"
#include "app/PanelState.h"
#include "support/FakeClaude.h"
#include "support/ManualClock.h"
#include "support/ManualDelay.h"
#include "support/MemorySystemLog.h"
#include "support/StoreTesting.h"
#include "support/TempHome.h"

#include <QSignalSpy>
#include <QTest>

#include <memory>

using namespace std::chrono_literals;
using Tab = PanelTab::Tab;
using Overlay = PanelState::Overlay;

// The panel's shared state: which tab shows, what the shortcuts may do, how often opening the
// panel refreshes, the toast's time and the order of the overlays.
class tst_PanelState : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TempHome> m_home;
    std::unique_ptr<FakeClaude> m_claude;
    MemorySystemLog m_systemLog;
    ManualClock m_clock;
    ManualDelay m_time;
    std::unique_ptr<AppModel> m_model;
    std::unique_ptr<PanelState> m_state;

private slots:
    void init()
    {
        m_home = std::make_unique<TempHome>();
        m_claude = std::make_unique<FakeClaude>(*m_home);
        AppModel::Environment environment;
        environment.systemLog = &m_systemLog;
        environment.driver = m_claude->configuration();
        environment.driver.registryPath = m_home->filePath(QStringLiteral(".claude.json"));
        environment.pillDelay = m_time.delay();
        environment.clock = &m_clock;
        environment.accountPause = m_time.delay();
        environment.schedulePollDelay = m_time.delay();
        environment.settingsFile = m_home->filePath(QStringLiteral("settings.ini"));
        environment.loginItem = LoginItem(QStringLiteral("quorvane"), QStringLiteral("/usr/bin/quorvane"),
                                          m_home->filePath(QStringLiteral("autostart")));
        environment.operatingSystem = QStringLiteral("Debian GNU/Linux 12 (bookworm), kernel 6.1.0");
        m_model = std::make_unique<AppModel>(std::move(environment));
        m_state = std::make_unique<PanelState>(*m_model, m_clock, m_time.delay());
    }

    void cleanup()
    {
        m_state.reset();
        QTRY_VERIFY(!m_model->isRefreshing());
        m_model.reset();
        m_claude.reset();
        m_home.reset();
    }

    void tabs()
    {
        QCOMPARE(PanelTab::title(Tab::scheduledPublishing), QStringLiteral("Scheduled Publishing"));
        QCOMPARE(PanelTab::fromTitle(QStringLiteral("Page Status")), std::optional<Tab>(Tab::pageStatus));
        QCOMPARE(PanelTab::fromTitle(QStringLiteral("page status")), std::nullopt);
        QCOMPARE(PanelTab::fromTitle(QStringLiteral(" Connections")), std::nullopt);
        QCOMPARE(PanelTab::allCases, (QList<Tab>{Tab::connections, Tab::scheduledPublishing}));
    }

    void cycling_data()
    {
        QTest::addColumn<Tab>("from");
        QTest::addColumn<int>("step");
        QTest::addColumn<Tab>("to");
        QTest::newRow("forward") << Tab::connections << 1 << Tab::scheduledPublishing;
        QTest::newRow("forward wraps") << Tab::scheduledPublishing << 1 << Tab::connections;
        QTest::newRow("backward wraps") << Tab::connections << -1 << Tab::scheduledPublishing;
        QTest::newRow("backward") << Tab::scheduledPublishing << -1 << Tab::connections;
        QTest::newRow("Page Status stays, forward") << Tab::pageStatus << 1 << Tab::pageStatus;
        QTest::newRow("Page Status stays, backward") << Tab::pageStatus << -1 << Tab::pageStatus;
    }

    void cycling()
    {
        QFETCH(Tab, from);
        QFETCH(int, step);
        QFETCH(Tab, to);
        m_state->setActiveTab(from);
        QCOMPARE(m_state->canCycleTabs(), from != Tab::pageStatus);
        m_state->cycleTab(step);
        QCOMPARE(m_state->activeTab(), to);
    }

    void searchShortcut_data()
    {
        QTest::addColumn<Tab>("tab");
        QTest::addColumn<bool>("focuses");
        QTest::newRow("Connections") << Tab::connections << true;
        QTest::newRow("Page Status") << Tab::pageStatus << true;
        QTest::newRow("Scheduled Publishing") << Tab::scheduledPublishing << false;
    }

    void searchShortcut()
    {
        QFETCH(Tab, tab);
        QFETCH(bool, focuses);
        m_state->setActiveTab(tab);
        QSignalSpy requested(m_state.get(), &PanelState::searchFocusRequested);
        m_state->focusSearch();
        QCOMPARE(m_state->searchFocused(), focuses);
        QCOMPARE(requested.size(), focuses ? 1 : 0);
    }

    void numberedTabsAndThePicker()
    {
        m_state->setShowingTabs(true);
        // The tab already showing: nothing changes, the list stays open.
        m_state->selectTab(1);
        QCOMPARE(m_state->activeTab(), Tab::connections);
        QVERIFY(m_state->showingTabs());
        m_state->selectTab(2);
        QCOMPARE(m_state->activeTab(), Tab::scheduledPublishing);
        QVERIFY(!m_state->showingTabs());
        m_state->selectTab(3);
        QCOMPARE(m_state->activeTab(), Tab::scheduledPublishing);
        // A row of the list for the active tab only closes the list.
        m_state->setShowingTabs(true);
        m_state->chooseTab(Tab::scheduledPublishing);
        QVERIFY(!m_state->showingTabs());
    }

    void tabChangesResetTheirPages()
    {
        m_state->setActiveTab(Tab::pageStatus);
        m_state->setPageStatusShowingInfo(true);
        m_state->setScheduleShowingHistory(true);
        m_state->setActiveTab(Tab::scheduledPublishing);
        // A history opened by a notification tap stays open; the Page Status info page closes.
        QVERIFY(m_state->scheduleShowingHistory());
        QVERIFY(!m_state->pageStatusShowingInfo());
        m_state->setActiveTab(Tab::connections);
        QVERIFY(!m_state->scheduleShowingHistory());
    }

    void reopenRefreshIsThrottled_data()
    {
        QTest::addColumn<qint64>("later");
        QTest::addColumn<int>("refreshes");
        QTest::newRow("1.5 s later") << qint64(1500) << 1;
        QTest::newRow("exactly 2 s later") << qint64(2000) << 1;
        QTest::newRow("2.5 s later") << qint64(2500) << 2;
    }

    void reopenRefreshIsThrottled()
    {
        QFETCH(qint64, later);
        QFETCH(int, refreshes);
        m_state->refreshOnBecomeKey();
        QTRY_VERIFY(!m_model->isRefreshing());
        m_clock.advance(later);
        m_state->refreshOnBecomeKey();
        QCOMPARE(m_model->refreshGeneration(), quint64(refreshes));
    }

    void firstShowingRefreshesOnce()
    {
        m_state->panelStart();
        m_state->refreshOnBecomeKey();
        QTRY_COMPARE(m_model->refreshGeneration(), quint64(1));
        QTRY_VERIFY(!m_model->isLoading());
        m_state->refreshOnBecomeKey();
        QCOMPARE(m_model->refreshGeneration(), quint64(1));
    }

    void reopenDuringARefreshRetriesNextTime()
    {
        // A slow registry read keeps the first refresh running.
        FakeClaude::Reply slow;
        slow.standardOutput = "Status: ✓ Connected\n";
        slow.delay = 300ms;
        m_claude->answer(QStringLiteral("mcp get"), slow);
        putFile(m_home->filePath(QStringLiteral(".claude.json")),
                      "{\"mcpServers\":{\"webflow-acme\":{\"type\":\"http\",\"url\":\"https://mcp.webflow.com/mcp\"}}}");
        m_state->panelStart();
        QTRY_VERIFY(m_model->isRefreshing());
        m_clock.advance(5000);
        m_state->refreshOnBecomeKey();
        // Refused as already running: the throttle no longer holds the next opening back.
        QTRY_VERIFY(!m_state->lastPanelRefresh().isValid());
    }

    void hidingForgetsTheSearch()
    {
        m_state->setSearchText(QStringLiteral("acme"));
        m_state->setSearchFocused(true);
        m_state->setPanelVisible(false);
        QVERIFY(!m_model->panelIsOpen());
        QCOMPARE(m_state->searchText(), QString());
        QVERIFY(!m_state->searchFocused());
        m_state->setPanelVisible(true);
        QVERIFY(m_model->panelIsOpen());
    }

    void toast()
    {
        QSignalSpy changed(m_state.get(), &PanelState::copiedToastChanged);
        m_state->showCopiedToast(QStringLiteral("Copied diagnostics"));
        m_time.advance(3400ms);
        QCOMPARE(m_state->copiedToast(), QStringLiteral("Copied diagnostics"));
        // A second toast replaces the first and gets its full time.
        m_state->showCopiedToast(QStringLiteral("Copied again"));
        m_time.advance(3400ms);
        QCOMPARE(m_state->copiedToast(), QStringLiteral("Copied again"));
        m_time.advance(100ms);
        QCOMPARE(m_state->copiedToast(), QString());
        QCOMPARE(changed.size(), 3);
    }

    void hoverEpoch()
    {
        m_state->pointerLeft();
        m_state->pointerLeft();
        QCOMPARE(m_state->hoverEpoch(), 2);
    }

    void activityActions_data()
    {
        QTest::addColumn<ActivitySheet::Kind>("kind");
        QTest::addColumn<bool>("hasSubject");
        QTest::addColumn<ActivitySheet::Outcome>("outcome");
        QTest::addColumn<bool>("reporting");
        QTest::addColumn<PanelState::ActivityActions>("actions");
        using Kind = ActivitySheet::Kind;
        using Outcome = ActivitySheet::Outcome;
        // report, cancel, retry, retry connects publishing
        QTest::newRow("running authorization: cancel and retry")
            << Kind::authorizing << true << Outcome::running << false << PanelState::ActivityActions{false, true, true, false};
        QTest::newRow("finished authorization: no cancel")
            << Kind::authorizing << true << Outcome::failure << false << PanelState::ActivityActions{false, false, true, false};
        QTest::newRow("authorization without a subject: no retry")
            << Kind::authorizing << false << Outcome::success << true << PanelState::ActivityActions{true, false, false, false};
        QTest::newRow("verification never retries")
            << Kind::verifying << true << Outcome::warning << true << PanelState::ActivityActions{true, false, false, false};
        QTest::newRow("publishing connect retries the connect")
            << Kind::connectingPublishing << true << Outcome::failure << false << PanelState::ActivityActions{false, false, true, true};
        QTest::newRow("error sheet with reporting")
            << Kind::error << false << Outcome::failure << true << PanelState::ActivityActions{true, false, false, false};
        QTest::newRow("failed run without reporting: no report")
            << Kind::error << true << Outcome::failure << false << PanelState::ActivityActions{false, false, true, false};
    }

    void activityActions()
    {
        QFETCH(ActivitySheet::Kind, kind);
        QFETCH(bool, hasSubject);
        QFETCH(ActivitySheet::Outcome, outcome);
        QFETCH(bool, reporting);
        QFETCH(PanelState::ActivityActions, actions);
        ActivitySheet sheet;
        sheet.kind = kind;
        if (hasSubject)
            sheet.subject = QStringLiteral("webflow-acme");
        sheet.outcome = outcome;
        QCOMPARE(PanelState::activityActions(sheet, reporting), actions);
    }

    void shownActivityFollowsTheSheet()
    {
        QSignalSpy changed(m_state.get(), &PanelState::activityActionsChanged);
        QVERIFY(!m_state->canCancelActivity());
        const QUuid id = m_model->activity().open(ActivitySheet::Kind::authorizing, QStringLiteral("Authorizing"),
                                                  QStringLiteral("webflow-acme"), QString());
        QVERIFY(m_state->canCancelActivity());
        QVERIFY(m_state->canRetryActivity());
        QVERIFY(m_state->shimmerPaused());
        // Without a gateway in the test build, nothing is offered for reporting.
        QCOMPARE(m_state->canReportActivity(), m_model->errorLog().isReportingAvailable());
        m_model->activity().finishActivity(id, ActivitySheet::Outcome::failure);
        QVERIFY(!m_state->canCancelActivity());
        // Cancel on a finished sheet does nothing; closing it lets the shimmer run again.
        m_state->cancelActivity();
        QVERIFY(!m_model->activity().isCancelled(id));
        QVERIFY(changed.size() >= 2);
        m_model->activity().closeActivity();
        QVERIFY(!m_state->shimmerPaused());
        m_state->setPanelVisible(false);
        QVERIFY(m_state->shimmerPaused());
    }

    void scheduleFocus_data()
    {
        QTest::addColumn<bool>("withEvent");
        QTest::newRow("a tapped event opens the history") << true;
        QTest::newRow("a request without an event shows the queue") << false;
    }

    void scheduleFocus()
    {
        QFETCH(bool, withEvent);
        // A tap for the signed-in account names its event; the focus then follows the request.
        if (withEvent) {
            const QUuid user = QUuid::createUuid();
            m_model->cloud().applyCloudAuthChange(user);
            m_model->cloud().handleNotificationTap({QUuid::createUuid(), user});
        } else {
            m_model->cloud().requestScheduleFocus();
        }
        QCOMPARE(m_state->activeTab(), Tab::scheduledPublishing);
        QCOMPARE(m_state->scheduleShowingHistory(), withEvent);
        // Applied once: coming back to the panel later does not switch tabs again.
        m_state->setActiveTab(Tab::connections);
        m_state->setPanelVisible(false);
        m_state->setPanelVisible(true);
        QCOMPARE(m_state->activeTab(), Tab::connections);
    }

    void addField_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("adding");
        QTest::addColumn<bool>("openAfterEscape");
        QTest::addColumn<bool>("openAfterLosingFocus");
        QTest::newRow("empty field") << QString() << false << false << false;
        QTest::newRow("a name in progress") << QStringLiteral("Acme") << false << false << true;
        QTest::newRow("spaces count as a name") << QStringLiteral("  ") << false << false << true;
        QTest::newRow("an add running") << QStringLiteral("Acme") << true << true << true;
    }

    void addField()
    {
        QFETCH(QString, name);
        QFETCH(bool, adding);
        QFETCH(bool, openAfterEscape);
        QFETCH(bool, openAfterLosingFocus);
        AddProjectFlow &field = m_model->adding();
        // Ctrl+N on Connections opens the field with the focus in it.
        m_state->openNew();
        QVERIFY(field.showingAdd());
        QVERIFY(m_state->addFieldFocused());
        field.setAddName(name);
        if (adding) {
            // An add that waits on a slow registration.
            FakeClaude::Reply slow;
            slow.delay = 400ms;
            m_claude->answer(QStringLiteral("mcp add"), slow);
            field.submit();
            QVERIFY(field.isAdding());
        }
        m_state->panelResignedKey();
        QCOMPARE(field.showingAdd(), openAfterLosingFocus);
        field.setShowingAdd(true);
        m_state->cancelAddField();
        QCOMPARE(field.showingAdd(), openAfterEscape);
        if (!openAfterEscape) {
            QCOMPARE(field.addName(), QString());
            QVERIFY(!m_state->addFieldFocused());
        }
        QTRY_VERIFY(!field.isAdding());
    }

    void newOnSchedulingOpensTheForm()
    {
        m_state->setActiveTab(Tab::scheduledPublishing);
        m_state->openNew();
        QVERIFY(m_state->scheduleShowingForm());
        QVERIFY(!m_model->adding().showingAdd());
    }

    void handOffWithAKnownSite_data()
    {
        QTest::addColumn<bool>("inDirectory");
        QTest::newRow("the directory's record") << true;
        QTest::newRow("only the project's site id") << false;
    }

    void handOffWithAKnownSite()
    {
        QFETCH(bool, inDirectory);
        const auto created = m_model->projectStore().createProject(QStringLiteral("Acme"));
        const Project project = std::get<Project>(created);
        if (inDirectory)
            QVERIFY(!m_model->siteDirectory().markPublishingConnected(QStringLiteral("site-1"), QStringLiteral("Acme")));
        QVERIFY(!m_model->projectStore().setSiteId(project.id, QStringLiteral("site-1")));
        m_state->setShowingTabs(true);
        m_state->openScheduling(project.id.toString());
        QCOMPARE(m_state->scheduleHandoffSiteID(), QStringLiteral("site-1"));
        QCOMPARE(m_state->activeTab(), Tab::scheduledPublishing);
        QVERIFY(!m_state->showingTabs());
        QVERIFY(!m_model->confirms().current());
    }

    void handOffConnectsFirstAndReadsTheProjectAgain()
    {
        // The server is registered and connected; its status check is slow, so the site can be
        // verified while the connect still runs.
        putFile(m_home->filePath(QStringLiteral(".claude.json")),
                "{\"mcpServers\":{\"webflow-acme-studio\":{\"type\":\"http\",\"url\":\"https://mcp.webflow.com/mcp\"}}}");
        FakeClaude::Reply slow;
        slow.standardOutput = "Status: \u2713 Connected\n";
        slow.delay = 300ms;
        m_claude->answer(QStringLiteral("mcp get"), slow);
        const Project project = std::get<Project>(m_model->projectStore().createProject(QStringLiteral("Acme \"Studio\"")));
        m_state->setScheduleHandoffSiteID(QStringLiteral("earlier-site"));

        m_state->openScheduling(project.id.toString());
        const std::optional<ConfirmRequest> question = m_model->confirms().current();
        QVERIFY(question);
        QCOMPARE(question->title, QStringLiteral("Connect Acme \"Studio\" first?"));
        QCOMPARE(question->message,
                 QStringLiteral("Scheduling needs the site verified through Claude Code. Connect now and you'll land "
                                "in Scheduled Publishing with Acme \"Studio\" selected."));
        QCOMPARE(question->confirmLabel, QStringLiteral("Connect"));
        QCOMPARE(question->icon, std::optional<QString>(QStringLiteral("globe-app-network")));
        QCOMPARE(m_state->activeTab(), Tab::connections);

        m_model->confirms().confirmCurrent();
        QTRY_VERIFY(!m_claude->calls().isEmpty());
        // Verified meanwhile: the stored project now names its site.
        QVERIFY(!m_model->projectStore().setSiteId(project.id, QStringLiteral("site-7")));
        QTRY_COMPARE(m_state->scheduleHandoffSiteID(), QStringLiteral("site-7"));
        QCOMPARE(m_state->activeTab(), Tab::scheduledPublishing);
    }

    void handOffWithoutASiteAfterTheConnectStays()
    {
        putFile(m_home->filePath(QStringLiteral(".claude.json")),
                "{\"mcpServers\":{\"webflow-acme\":{\"type\":\"http\",\"url\":\"https://mcp.webflow.com/mcp\"}}}");
        FakeClaude::Reply connected;
        connected.standardOutput = "Status: \u2713 Connected\n";
        m_claude->answer(QStringLiteral("mcp get"), connected);
        const Project project = std::get<Project>(m_model->projectStore().createProject(QStringLiteral("Acme")));
        m_state->setScheduleHandoffSiteID(QStringLiteral("earlier-site"));
        m_state->openScheduling(project.id.toString());
        m_model->confirms().confirmCurrent();
        // The connect holds the name busy until it has read the server's state; the hand-off
        // decides in the same turn as it lets go.
        QVERIFY(m_model->busy().contains(QStringLiteral("webflow-acme")));
        QTRY_VERIFY(!m_model->busy().contains(QStringLiteral("webflow-acme")));
        QVERIFY(!m_claude->calls().isEmpty());
        QTRY_VERIFY(!m_model->isRefreshing());
        QCOMPARE(m_state->activeTab(), Tab::connections);
        QCOMPARE(m_state->scheduleHandoffSiteID(), QStringLiteral("earlier-site"));
    }

    void pickerRows()
    {
        const QVariantList rows = PanelState::pickerTabs();
        QCOMPARE(rows.size(), 2);
        QCOMPARE(rows[1].toMap().value(QStringLiteral("title")).toString(), QStringLiteral("Scheduled Publishing"));
        m_state->setShowingTabs(true);
        m_state->choosePickerRow(1);
        QCOMPARE(m_state->activeTab(), Tab::scheduledPublishing);
        QVERIFY(!m_state->showingTabs());
    }

    void quitAsksTheOwner()
    {
        QSignalSpy quit(m_state.get(), &PanelState::quitRequested);
        m_state->quit();
        QCOMPARE(quit.size(), 1);
    }

    void overlayOrder()
    {
        QCOMPARE(PanelState::overlays(true, false, false, true, true),
                 (QList<Overlay>{Overlay::activity, Overlay::confirm, Overlay::signIn}));
        QCOMPARE(PanelState::overlays(true, true, true, false, false),
                 (QList<Overlay>{Overlay::activity, Overlay::about, Overlay::intro}));
        QCOMPARE(PanelState::overlays(false, false, false, false, false), QList<Overlay>{});
        // A Claude sign-in started from the intro shows its sheet above the intro, below a question.
        QCOMPARE(PanelState::overlays(true, false, true, true, false, true),
                 (QList<Overlay>{Overlay::intro, Overlay::activity, Overlay::confirm}));
        QCOMPARE(PanelState::overlays(false, false, true, false, false, true), QList<Overlay>{Overlay::intro});
    }
};

QTEST_GUILESS_MAIN(tst_PanelState)
#include "tst_PanelState.moc"
