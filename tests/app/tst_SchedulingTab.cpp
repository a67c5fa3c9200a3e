// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "app/AppSchedulingContext.h"
#include "app/PanelState.h"
#include "app/SchedulingTabState.h"
#include "app/TabFixture.h"
#include "scheduling/ScheduleSamples.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QSettings>
#include <QSignalSpy>
#include <QTest>

#include <memory>

using CloudState = ScheduleStore::CloudState;

namespace {

ScheduledPublish queued(const QString &site, int day)
{
    return ScheduleSamples::queuedPublish(site, site.toUpper(),
                                          QDateTime(QDate(2030, 6, day), QTime(9, 0), QTimeZone("America/Los_Angeles")));
}

// The reads of the Scheduled Publishing refresh chain the backend received, in order: the queue,
// the history and the unseen publish events.
QStringList scheduleReads(const FakeBackend &backend, qsizetype from)
{
    QStringList reads;
    const QList<FakeHttpServer::Request> requests = backend.requests();
    for (qsizetype at = from; at < requests.size(); ++at) {
        const FakeHttpServer::Request &request = requests.at(at);
        if (request.method != "GET")
            continue;
        if (request.path == u"/rest/v1/scheduled_publishes")
            reads.append(request.query.contains(QStringLiteral("publishing")) ? QStringLiteral("queue")
                                                                              : QStringLiteral("history"));
        else if (request.path == u"/rest/v1/publish_events")
            reads.append(QStringLiteral("events"));
    }
    return reads;
}

FakeHttpServer::Reply heldEmptyList(const std::shared_ptr<ReplyGate> &gate)
{
    FakeHttpServer::Reply reply{200, "[]"};
    reply.gate = gate;
    return reply;
}

} // namespace

// The Scheduled Publishing tab: when it is idle, how many banners its screen shows, what its
// controls say, and how it keeps the panel's schedule state and the screen's form in step; and
// the application's scheduling surroundings the screen reads through.
class tst_SchedulingTab : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TabFixture> m_fixture;
    AppModel *m_model = nullptr;
    PanelState *m_panel = nullptr;

    [[nodiscard]] QString settingsFile() const { return m_fixture->settingsFile(); }

private slots:
    void init()
    {
        m_fixture = std::make_unique<TabFixture>();
        m_model = &m_fixture->model;
        m_panel = m_fixture->panel.get();
    }

    void cleanup() { m_fixture.reset(); }

    void idleAndEmptyState_data()
    {
        QTest::addColumn<int>("schedules");
        QTest::addColumn<bool>("showingForm");
        QTest::addColumn<int>("banners");
        QTest::addColumn<bool>("idle");
        QTest::addColumn<bool>("emptyState");
        QTest::newRow("nothing queued, form closed") << 0 << false << 0 << true << true;
        QTest::newRow("one banner still leaves room") << 0 << false << 1 << true << true;
        QTest::newRow("two banners hide it") << 0 << false << 2 << true << false;
        QTest::newRow("an open form is never idle") << 0 << true << 0 << false << false;
        QTest::newRow("a queued publish") << 1 << false << 0 << false << false;
    }

    void idleAndEmptyState()
    {
        QFETCH(int, schedules);
        QFETCH(bool, showingForm);
        QFETCH(int, banners);
        QFETCH(bool, idle);
        QFETCH(bool, emptyState);
        QCOMPARE(SchedulingTabRules::isScheduleIdle(schedules, showingForm), idle);
        QCOMPARE(SchedulingTabRules::showsEmptyState(idle, banners), emptyState);
    }

    void bannerCount_data()
    {
        QTest::addColumn<bool>("attention");
        QTest::addColumn<CloudState>("cloud");
        QTest::addColumn<bool>("dismissed");
        QTest::addColumn<bool>("syncError");
        QTest::addColumn<bool>("cacheIssue");
        QTest::addColumn<int>("count");
        QTest::newRow("checking counts nothing") << false << CloudState::Checking << false << false << false << 0;
        QTest::newRow("local mode always counts") << false << CloudState::Local << true << false << false << 1;
        QTest::newRow("cloud note on screen") << false << CloudState::Cloud << false << false << false << 1;
        QTest::newRow("cloud note hidden for good") << false << CloudState::Cloud << true << false << false << 0;
        QTest::newRow("cloud note and a sync error") << false << CloudState::Cloud << false << true << false << 2;
        QTest::newRow("all four") << true << CloudState::Local << false << true << true << 4;
    }

    void bannerCount()
    {
        QFETCH(bool, attention);
        QFETCH(CloudState, cloud);
        QFETCH(bool, dismissed);
        QFETCH(bool, syncError);
        QFETCH(bool, cacheIssue);
        QFETCH(int, count);
        QCOMPARE(SchedulingTabRules::scheduleBannerCount(attention, cloud, dismissed, syncError, cacheIssue), count);
    }

    void labels_data()
    {
        QTest::addColumn<bool>("flag");
        QTest::addColumn<QString>("orderSymbol");
        QTest::addColumn<QString>("orderText");
        QTest::addColumn<QString>("pillSymbol");
        QTest::addColumn<QString>("pillText");
        QTest::addColumn<QString>("pillHelp");
        // The order toggle reads soonestFirst; the pill reads showingForm.
        QTest::newRow("true") << true << "sort.ascending" << "Sooner first" << "xmark" << "Cancel"
                              << "Close without scheduling";
        QTest::newRow("false") << false << "sort.descending" << "Later first" << QString() << "Schedule"
                               << "Schedule a one-time site publish";
    }

    void labels()
    {
        QFETCH(bool, flag);
        QFETCH(QString, orderSymbol);
        QFETCH(QString, orderText);
        QFETCH(QString, pillSymbol);
        QFETCH(QString, pillText);
        QFETCH(QString, pillHelp);
        QCOMPARE(SchedulingTabRules::orderSymbol(flag), orderSymbol);
        QCOMPARE(SchedulingTabRules::orderText(flag), orderText);
        QCOMPARE(SchedulingTabRules::pillSymbol(flag), pillSymbol);
        QCOMPARE(SchedulingTabRules::pillText(flag), pillText);
        QCOMPARE(SchedulingTabRules::pillHelp(flag), pillHelp);
        QCOMPARE(SchedulingTabRules::showsOrderToggle(1), false);
        QCOMPARE(SchedulingTabRules::showsOrderToggle(2), true);
    }

    void toggleScheduleForm_data()
    {
        QTest::addColumn<bool>("open");
        QTest::addColumn<bool>("submitting");
        QTest::addColumn<bool>("canOpen");
        QTest::addColumn<bool>("openAfter");
        QTest::newRow("closed: opens") << false << false << true << true;
        QTest::newRow("open: closes without scheduling") << true << false << false << false;
        QTest::newRow("submitting with the form open: stays") << true << true << false << true;
        QTest::newRow("submitting with the form closed: stays") << false << true << false << false;
    }

    void toggleScheduleForm()
    {
        QFETCH(bool, open);
        QFETCH(bool, submitting);
        QFETCH(bool, canOpen);
        QFETCH(bool, openAfter);
        m_panel->setScheduleShowingForm(open);
        m_panel->setScheduleSubmissionInProgress(submitting);
        QCOMPARE(SchedulingTabRules::canOpenScheduleForm(m_panel), canOpen);
        SchedulingTabRules::toggleScheduleForm(m_panel);
        QCOMPARE(m_panel->scheduleShowingForm(), openAfter);
    }

    void theFormIsOneStateInTwoPlaces()
    {
        SchedulingTabState tab;
        tab.setModel(m_model);
        QVERIFY(!tab.screen());
        tab.setPanel(m_panel);
        QVERIFY(tab.screen());
        ScheduleFormController *form = tab.screen()->form();
        QVERIFY(tab.isScheduleIdle());
        QCOMPARE(tab.pillText(), QStringLiteral("Schedule"));

        // The pill opens the screen's form.
        tab.toggleScheduleForm();
        QVERIFY(form->showingForm());
        QVERIFY(!tab.isScheduleIdle());
        QCOMPARE(tab.pillText(), QStringLiteral("Cancel"));
        QVERIFY(!tab.pillShowsShortcut());
        QVERIFY(!tab.showsFooter());
        // The screen closes it itself (after a submission): the panel follows.
        form->setShowingForm(false);
        QVERIFY(!m_panel->scheduleShowingForm());
        QVERIFY(tab.showsFooter());

        // The order reaches the screen's queue.
        m_model->scheduleStore().setSchedules({queued(QStringLiteral("acme"), 4), queued(QStringLiteral("beta"), 5)});
        QVERIFY(tab.showsOrderToggle());
        QCOMPARE(tab.orderText(), QStringLiteral("Sooner first"));
        tab.toggleQueueOrder();
        QCOMPARE(tab.orderText(), QStringLiteral("Later first"));
        QVERIFY(!tab.screen()->soonestFirst());
    }

    void aNewShowingStartsFromThePanelsState()
    {
        // The form was open and a submission ran when the tab went away.
        m_panel->setScheduleShowingForm(true);
        m_panel->setScheduleSubmissionInProgress(true);
        m_panel->setScheduleSoonestFirst(false);
        SchedulingTabState tab;
        tab.setPanel(m_panel);
        tab.setModel(m_model);
        QVERIFY(tab.screen()->form()->showingForm());
        QVERIFY(!tab.screen()->soonestFirst());
        // That submission's screen is gone; nothing of it can finish, so the pill works again.
        QVERIFY(!m_panel->scheduleSubmissionInProgress());
        QVERIFY(tab.pillEnabled());
    }

    void hidingTheCloudNoteCountsAtOnce()
    {
        SchedulingTabState tab;
        tab.setModel(m_model);
        tab.setPanel(m_panel);
        ScheduleStore &store = m_model->scheduleStore();
        store.setCloudState(CloudState::Cloud);
        store.setSyncError(QStringLiteral("Couldn't reach the cloud."));
        QCOMPARE(tab.scheduleBannerCount(), 2);
        QVERIFY(!tab.showsEmptyState());
        // The screen's "Got it" hides the note for good through the shared default.
        QSignalSpy changed(&tab, &SchedulingTabState::changed);
        m_model->schedulingContext().dismissCloudBanner();
        QVERIFY(!changed.isEmpty());
        QCOMPARE(tab.scheduleBannerCount(), 1);
        QVERIFY(tab.showsEmptyState());
        QVERIFY(QSettings(settingsFile(), QSettings::IniFormat).value(QStringLiteral("dismissedCloudBanner")).toBool());
    }

    void historyAndHandoff()
    {
        SchedulingTabState tab;
        tab.setModel(m_model);
        tab.setPanel(m_panel);
        tab.showHistory();
        QVERIFY(m_panel->scheduleShowingHistory());
        tab.leaveHistory();
        QVERIFY(!m_panel->scheduleShowingHistory());
        QVERIFY(!m_model->cloud().scheduleFocusEventID());

        m_panel->setScheduleHandoffSiteID(QStringLiteral("site-acme"));
        tab.consumeHandoff();
        QCOMPARE(m_panel->scheduleHandoffSiteID(), QString());
    }

    // Each read starts only once the one before it has answered, and the Page Status explanation
    // page closes with the tab change itself rather than after the reads.
    void selectingTheTabRefreshesQueueHistoryAndEventsInTurn()
    {
        // The old home goes first: a temporary home sets the process's home and gives it back.
        m_fixture.reset();
        m_fixture = std::make_unique<TabFixture>(TabFixture::Backend::cloud);
        m_model = &m_fixture->model;
        m_panel = m_fixture->panel.get();
        QVERIFY(m_fixture->signIn());
        FakeBackend &backend = m_fixture->fake;
        m_panel->setActiveTab(PanelTab::Tab::pageStatus);
        m_panel->setPageStatusShowingInfo(true);
        const auto queueGate = std::make_shared<ReplyGate>();
        const auto historyGate = std::make_shared<ReplyGate>();
        // The queue and the history share their table: the first read is the queue's.
        backend.script("GET", QStringLiteral("/rest/v1/scheduled_publishes"), heldEmptyList(queueGate));
        backend.script("GET", QStringLiteral("/rest/v1/scheduled_publishes"), heldEmptyList(historyGate));
        const qsizetype before = backend.requests().size();

        m_panel->setActiveTab(PanelTab::Tab::scheduledPublishing);
        QVERIFY(!m_panel->pageStatusShowingInfo());
        QTRY_COMPARE_WITH_TIMEOUT(queueGate->held(), 1, 10000);
        // A request sent after the queue read has been answered: had the history read started
        // alongside the queue's, it would have arrived by now.
        backend.route("GET", QStringLiteral("/probe"), [](const FakeHttpServer::Request &) {
            return FakeHttpServer::Reply{204};
        });
        QNetworkAccessManager network;
        std::unique_ptr<QNetworkReply> probe(network.get(QNetworkRequest(backend.url(QStringLiteral("/probe")))));
        QTRY_VERIFY_WITH_TIMEOUT(probe->isFinished(), 10000);
        QCOMPARE(scheduleReads(backend, before), QStringList{QStringLiteral("queue")});
        QVERIFY(m_model->scheduleStore().historyState() != ScheduleStore::HistoryState::Loading);

        queueGate->open();
        QTRY_COMPARE_WITH_TIMEOUT(historyGate->held(), 1, 10000);
        probe.reset(network.get(QNetworkRequest(backend.url(QStringLiteral("/probe")))));
        QTRY_VERIFY_WITH_TIMEOUT(probe->isFinished(), 10000);
        QCOMPARE(scheduleReads(backend, before), (QStringList{QStringLiteral("queue"), QStringLiteral("history")}));

        historyGate->open();
        QTRY_COMPARE_WITH_TIMEOUT(scheduleReads(backend, before),
                                  (QStringList{QStringLiteral("queue"), QStringLiteral("history"), QStringLiteral("events")}),
                                  10000);
        QTRY_COMPARE_WITH_TIMEOUT(m_model->scheduleStore().historyState(), ScheduleStore::HistoryState::Loaded, 10000);
        // A read of the same client sent after the events were answered comes back after them,
        // so nothing of the chain is left waiting when the model goes.
        QCoro::waitFor(m_model->scheduleStore().loadHistory());
    }

    void contextReadsTheModel()
    {
        AppSchedulingContext &context = m_model->schedulingContext();
        QSignalSpy changed(&context, &SchedulingContext::changed);
        QVERIFY(!m_model->siteDirectory().markPublishingConnected(QStringLiteral("site-acme"), QStringLiteral("Acme Marketing")));
        const auto created = m_model->projectStore().createProject(QStringLiteral("Acme"));
        QVERIFY(std::holds_alternative<Project>(created));
        const QUuid id = std::get<Project>(created).id;
        QVERIFY(!m_model->projectStore().setSiteId(id, QStringLiteral("site-acme")));
        QVERIFY(changed.size() >= 3);

        const QList<ProjectSite> projects = context.projects();
        QCOMPARE(projects.size(), 1);
        QCOMPARE(projects.first().project.id, id);
        QVERIFY(projects.first().site);
        QCOMPARE(projects.first().site->name, QStringLiteral("Acme Marketing"));
        QCOMPARE(context.site(QStringLiteral("site-acme"))->name, QStringLiteral("Acme Marketing"));
        QVERIFY(!context.site(QStringLiteral("site-unknown")));
        // Without a read of the grants nothing is connected, settled or waiting for recovery.
        QVERIFY(!context.hasPublishingAccess(QStringLiteral("site-acme")));
        QVERIFY(!context.publishingAccessSettled());
        QVERIFY(!context.hasOAuthRecoveryAttempts());
        QVERIFY(!context.cloudBannerDismissed());
    }

    void contextHandsOver()
    {
        AppSchedulingContext &context = m_model->schedulingContext();
        // A question of the screen goes to the panel's confirm overlay.
        ConfirmRequest request;
        request.title = QStringLiteral("Cancel this publish?");
        context.present(request);
        QVERIFY(m_model->confirms().current());
        QCOMPARE(m_model->confirms().current()->title, QStringLiteral("Cancel this publish?"));
        // A sign-in the screen asks for becomes the model's request, and its continuation is kept.
        context.requestSignIn(QStringLiteral("Scheduled publishes fire from the cloud."), [] {});
        QVERIFY(m_model->cloud().signIn());
        QCOMPARE(m_model->cloud().signIn()->reason, QStringLiteral("Scheduled publishes fire from the cloud."));
    }
};

QTEST_GUILESS_MAIN(tst_SchedulingTab)
#include "tst_SchedulingTab.moc"
