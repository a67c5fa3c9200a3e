// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "app/AppModel.h"
#include "app/PanelState.h"
#include "backend/BackendClient.h"
#include "publishing/CancellationReceiptFile.h"
#include "support/FakeBackend.h"
#include "support/FakeNotificationServer.h"
#include "support/ManualClock.h"
#include "support/ManualDelay.h"
#include "support/MemorySessionStorage.h"
#include "support/MemorySystemLog.h"
#include "support/StoreTesting.h"
#include "support/TempHome.h"

#include <QCoro/QCoroTask>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSignalSpy>
#include <QTest>

#include <memory>

namespace {

const QUuid userA = QUuid::fromString(QStringLiteral("3f2b8c1e-5d4a-4e8f-9a7b-1c2d3e4f5a6b"));
const QUuid userB = QUuid::fromString(QStringLiteral("9c8d7e6f-1a2b-4c3d-8e9f-0a1b2c3d4e5f"));

const QString kGrantsPath = QStringLiteral("/rest/v1/site_publish_grants");
const QString kSchedulesPath = QStringLiteral("/rest/v1/scheduled_publishes");
const QString kEventsPath = QStringLiteral("/rest/v1/publish_events");
const QString kStatesPath = QStringLiteral("/rest/v1/oauth_states");

// A grant of the site "site-a", as the grants table answers it.
QJsonArray grantsNamingSiteA()
{
    return {QJsonObject{{"site_id", "site-a"},
                        {"site_name", "Acme"},
                        {"domains", QJsonArray()},
                        {"created_at", "2026-01-15T09:00:00+00:00"},
                        {"connection_status", "active"}}};
}

// An answer that waits behind `gate`.
FakeBackend::Reply heldReply(const QByteArray &body, const std::shared_ptr<ReplyGate> &gate)
{
    FakeBackend::Reply reply{200, body};
    reply.gate = gate;
    return reply;
}

QJsonObject truthRow(const QUuid &operation, const QString &phase)
{
    return {{QStringLiteral("operation_id"), operation.toString(QUuid::WithoutBraces)},
            {QStringLiteral("phase"), phase}};
}

template <typename T>
T waited(QCoro::Task<T> task)
{
    return QCoro::waitFor(std::move(task));
}

} // namespace

// Who is signed in to the backend, as the whole model follows it: account changes, cloud refreshes,
// notification taps, OAuth-cancellation notices and sign-in requests, over a real model and the
// hosted backend played on loopback.
class tst_CloudSide : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TempHome> m_home;
    std::unique_ptr<FakeBackend> m_fake;
    MemorySessionStorage m_sessions;
    MemorySystemLog m_systemLog;
    ManualClock m_clock;
    ManualDelay m_time;
    int m_activations = 0;
    bool m_panelShown = false;
    /// How often the application was brought forward.
    int m_raises = 0;
    /// What the backend's records of OAuth attempts say, by operation, for the receipt checks.
    QJsonArray m_truth;
    bool m_notifications = false;

    // The session a sign-in of `user` leaves in the keyring.
    void storeSessionOf(const QUuid &user)
    {
        m_fake->userId = user;
        m_sessions.items.insert(BackendClient::sessionKey,
                                BackendSession::fromAuthReply(m_fake->issueSession(), m_clock.now())->toStored());
    }

    // A model over the fake backend (none when `withBackend` is false). Its panel activator acts
    // as a toggle would, to show whether routing ever asks twice.
    std::unique_ptr<AppModel> makeModel(bool withBackend = true)
    {
        AppModel::Environment environment;
        environment.systemLog = &m_systemLog;
        environment.driver.loginShell = QStringLiteral("/bin/sh");
        environment.pillDelay = m_time.delay();
        environment.clock = &m_clock;
        environment.sessionStorage = &m_sessions;
        environment.accountPause = m_time.delay();
        environment.schedulePollDelay = m_time.delay();
        environment.networkUp = [] { return true; };
        if (withBackend)
            environment.backend = BackendConfiguration{m_fake->url(), FakeBackend::publishableKey};
        environment.notifications = m_notifications;
        environment.panelActivator = [this] {
            ++m_activations;
            m_panelShown = !m_panelShown;
        };
        environment.applicationActivator = [this] { ++m_raises; };
        return std::make_unique<AppModel>(std::move(environment));
    }

    // A model whose bootstrap has applied the stored session's user and whose first cloud refresh
    // has run to its end.
    std::unique_ptr<AppModel> signedInModel(const QUuid &user = userA)
    {
        storeSessionOf(user);
        auto model = makeModel();
        model->cloud().startCloudBootstrap();
        if (!QTest::qWaitFor([&] { return model->cloud().cloudAuthUserID() == user; }, 10000))
            qFatal("the stored session was not applied");
        if (!QTest::qWaitFor([&] { return model->publishAccess().hasLoadedOnce(); }, 10000))
            qFatal("the first cloud refresh did not read the grants");
        // Nothing of it is left running to meet the test's own steps, or the model's end.
        if (!QTest::qWaitFor([&] { return model->cloud().cloudRefreshTask()->finished; }, 10000))
            qFatal("the first cloud refresh did not end");
        return model;
    }

    // Waits until the refresh the last identity application started has read everything.
    void settle(AppModel &model, qsizetype grantReads)
    {
        QTRY_VERIFY_WITH_TIMEOUT(m_fake->requests("GET", kGrantsPath).size() >= grantReads, 10000);
        QTRY_VERIFY_WITH_TIMEOUT(!model.publishAccess().isChecking(), 10000);
        QTRY_VERIFY_WITH_TIMEOUT(model.scheduleStore().historyState() != ScheduleStore::HistoryState::Loading, 10000);
    }

    QStringList notificationLog(AppModel &model) const
    {
        QStringList messages;
        for (const ErrorEvent &event : model.errorLog().events()) {
            if (event.area == u"notification")
                messages.append(event.message);
        }
        return messages;
    }

    // A receipt of an earlier run: `owner`'s cancelled connect that may have left a grant.
    void keepReceipt(const QUuid &owner, const QUuid &operation)
    {
        OAuthCancellationReceiptMap receipts;
        receipts.insert(operation, UnresolvedOAuthCancellation{owner, operation});
        const QString path = QDir(m_home->appDataDir()).filePath(PublishAccessStore::receiptFileName);
        QDir().mkpath(m_home->appDataDir());
        if (CancellationReceiptFile::writeReceiptAtomically(PersistedOAuthCancellations::encode(receipts), path) != 0)
            qFatal("the receipt could not be written");
    }

    static OAuthCancellationNotice noticeOf(const QUuid &owner,
                                            OAuthCancellationNotice::Kind kind = OAuthCancellationNotice::Kind::NeedsReview)
    {
        return {owner, QUuid::createUuid(), kind};
    }

private slots:
    void init()
    {
        m_home = std::make_unique<TempHome>();
        m_fake = std::make_unique<FakeBackend>();
        m_fake->serveScheduledPublishing();
        m_fake->servePublishEvents();
        m_fake->setUserTable(QStringLiteral("site_publish_grants"), [](const QUuid &) { return QJsonArray(); });
        // The recovery read asks for attempts waiting for recovery (none here); the receipt
        // check reads the records of every attempt.
        m_truth = QJsonArray();
        m_fake->route("GET", kStatesPath, [this](const FakeHttpServer::Request &request) {
            if (request.query.contains(QStringLiteral("recovery_required")))
                return FakeHttpServer::Reply::json(200, QJsonArray());
            return FakeHttpServer::Reply::json(200, m_truth);
        });
        m_notifications = false;
        m_sessions.items.clear();
        m_systemLog.lines.clear();
        m_activations = 0;
        m_panelShown = false;
        m_raises = 0;
    }

    void cleanup()
    {
        m_fake.reset();
        m_home.reset();
    }

    // --- Account changes ------------------------------------------------------------------------

    void aChangeOfUserRebindsTheStoresAndClosesWhatBelongedToTheOldOne_data()
    {
        QTest::addColumn<ActivitySheet::Kind>("kind");
        QTest::addColumn<bool>("sheetStays");
        QTest::newRow("a publishing connect's sheet closes") << ActivitySheet::Kind::connectingPublishing << false;
        QTest::newRow("an authorization's sheet stays") << ActivitySheet::Kind::authorizing << true;
    }

    void aChangeOfUserRebindsTheStoresAndClosesWhatBelongedToTheOldOne()
    {
        QFETCH(ActivitySheet::Kind, kind);
        QFETCH(bool, sheetStays);
        const auto model = signedInModel(userA);
        CloudSide &cloud = model->cloud();
        QCOMPARE(cloud.cloudAuthGeneration(), 1);
        QCOMPARE(model->scheduleStore().boundUserID(), std::optional<QUuid>(userA));
        QCOMPARE(model->publishAccess().boundUserID(), std::optional<QUuid>(userA));
        QCOMPARE(model->pageStatus().boundUserID(), std::optional<QUuid>(userA));
        const CloudSide::AppCloudAuthSnapshot forA = *cloud.currentCloudAuth();
        QVERIFY(cloud.isCurrentCloudAuth(forA));

        model->activity().open(kind, QStringLiteral("Connecting publishing for Acme"), QStringLiteral("Acme"),
                               QStringLiteral("A browser window will open."));
        // A's notice is up, and another of A's waits behind the sheet.
        model->activity().closeActivity();
        cloud.presentOAuthCancellationNotice(noticeOf(userA));
        QVERIFY(cloud.displayedOAuthCancellationNotice());
        model->activity().open(kind, QStringLiteral("Connecting publishing for Acme"), QStringLiteral("Acme"),
                               QStringLiteral("A browser window will open."));
        const OAuthCancellationNotice waiting = noticeOf(userA, OAuthCancellationNotice::Kind::AuthorizationCompleted);
        cloud.presentOAuthCancellationNotice(waiting);
        QCOMPARE(cloud.queuedOAuthCancellationNotice(), std::optional<OAuthCancellationNotice>(waiting));
        const qsizetype grantReads = m_fake->requests("GET", kGrantsPath).size();

        // B signs in on this computer: the client announces B's session.
        m_fake->userId = userB;
        QVERIFY(waited(model->account().client()->verifyEmailCode(QStringLiteral("bo@example.com"),
                                                                  FakeBackend::validCode)));
        QCOMPARE(cloud.cloudAuthUserID(), std::optional<QUuid>(userB));
        QCOMPARE(cloud.cloudAuthGeneration(), 2);
        QVERIFY(!cloud.isCurrentCloudAuth(forA));
        QCOMPARE(model->scheduleStore().boundUserID(), std::optional<QUuid>(userB));
        QCOMPARE(model->publishAccess().boundUserID(), std::optional<QUuid>(userB));
        QCOMPARE(model->publishAccess().authGeneration(), 2);
        QCOMPARE(model->pageStatus().boundUserID(), std::optional<QUuid>(userB));
        QCOMPARE(model->pageStatus().authGeneration(), 2);
        QCOMPARE(model->activity().sheet().has_value(), sheetStays);
        // A's displayed notice is closed without its queued one taking its place.
        QVERIFY(!cloud.displayedOAuthCancellationNotice());
        QVERIFY(!model->confirms().current());
        // The queued notice of A is dropped at its next chance to show, now that B is signed in.
        model->activity().closeActivity();
        QVERIFY(!model->confirms().current());
        QVERIFY(!cloud.queuedOAuthCancellationNotice());
        // B's cloud state is read.
        settle(*model, grantReads + 1);
        QCOMPARE(m_fake->userOf(m_fake->requests("GET", kGrantsPath).constLast()), userB);
    }

    void theGenerationMovesOnlyWhenTheUserChanges_data()
    {
        QTest::addColumn<QStringList>("events");
        QTest::addColumn<QList<qint64>>("generations");
        QTest::addColumn<bool>("signedIn");
        QTest::newRow("a token refresh of the same user") << QStringList{"refresh", "refresh"} << QList<qint64>{1, 1}
                                                          << true;
        QTest::newRow("sign-out, and a second sign-out event")
            << QStringList{"sign-out", "sign-out-event"} << QList<qint64>{2, 2} << false;
        QTest::newRow("sign-out, then the same user again")
            << QStringList{"sign-out", "sign-in A"} << QList<qint64>{2, 3} << true;
        QTest::newRow("another user, then a token refresh")
            << QStringList{"sign-in B", "refresh"} << QList<qint64>{2, 2} << true;
        QTest::newRow("the bootstrap again finds the same user") << QStringList{"bootstrap"} << QList<qint64>{1} << true;
    }

    void theGenerationMovesOnlyWhenTheUserChanges()
    {
        QFETCH(QStringList, events);
        QFETCH(QList<qint64>, generations);
        QFETCH(bool, signedIn);
        const auto model = signedInModel(userA);
        BackendClient &client = *model->account().client();
        model->activity().open(ActivitySheet::Kind::connectingPublishing, QStringLiteral("Connecting publishing for Acme"),
                               QStringLiteral("Acme"), QStringLiteral("A browser window will open."));
        qint64 changes = 0;
        for (qsizetype i = 0; i < events.size(); ++i) {
            const QString &event = events.at(i);
            const qsizetype grantReads = m_fake->requests("GET", kGrantsPath).size();
            if (event == u"refresh") {
                QVERIFY(waited(client.refreshSession()));
            } else if (event == u"bootstrap") {
                model->cloud().startCloudBootstrap();
            } else if (event == u"sign-out") {
                QVERIFY(waited(client.signOut(BackendClient::SignOutScope::Local)));
            } else if (event == u"sign-out-event") {
                Q_EMIT client.authChanged(BackendClient::AuthEvent::SignedOut, std::nullopt);
            } else {
                m_fake->userId = event.endsWith(u'A') ? userA : userB;
                QVERIFY(waited(client.verifyEmailCode(QStringLiteral("someone@example.com"), FakeBackend::validCode)));
            }
            QCOMPARE(model->cloud().cloudAuthGeneration(), generations.at(i));
            if (generations.at(i) != (i == 0 ? 1 : generations.at(i - 1)))
                ++changes;
            // Every application with a user reads that user's cloud state again.
            if (model->cloud().cloudAuthUserID())
                settle(*model, grantReads + 1);
        }
        QCOMPARE(model->cloud().cloudAuthUserID().has_value(), signedIn);
        QCOMPARE(model->publishAccess().authGeneration(), generations.constLast());
        // Only a change of user tears the publishing connect's sheet down.
        QCOMPARE(model->activity().sheet().has_value(), changes == 0);
    }

    void theFirstApplicationWithoutAUserBindsEveryoneToNobody()
    {
        const auto model = makeModel();
        const qint64 requests = m_fake->requests().size();
        // A tap while nobody is known waits, and its bootstrap finds no session: nobody is applied.
        model->cloud().handleNotificationTap({QUuid::createUuid(), userA});
        QTRY_COMPARE(model->cloud().cloudAuthGeneration(), 1);
        QVERIFY(!model->cloud().cloudAuthUserID());
        QVERIFY(!model->cloud().currentCloudAuth());
        QVERIFY(!model->scheduleStore().boundUserID());
        QVERIFY(!model->publishAccess().boundUserID());
        QCOMPARE(model->publishAccess().authGeneration(), 1);
        QCOMPARE(model->cloud().notificationTargets().identity, NotificationTargetQueue::Identity::signedOut());
        // The waiting tap is dropped without a log line or a focus on its event, and nothing
        // was read from the cloud.
        QVERIFY(model->cloud().notificationTargets().pending.isEmpty());
        QVERIFY(!model->cloud().scheduleFocusEventID());
        QCOMPARE(model->cloud().scheduleFocusRequest(), 1);
        QVERIFY(notificationLog(*model).isEmpty());
        QCOMPARE(m_fake->requests().size(), requests);
        // The next tap is not held any more: nobody here may see it.
        model->cloud().handleNotificationTap({QUuid::createUuid(), userA});
        QCOMPARE(model->cloud().scheduleFocusRequest(), 1);
        QCOMPARE(notificationLog(*model).size(), 1);
    }

    void withoutABackendNothingIsAppliedAndTapsWait()
    {
        const auto model = makeModel(false);
        const NotificationRouter::Target tap{QUuid::createUuid(), userA};
        model->cloud().startCloudBootstrap();
        model->cloud().handleNotificationTap(tap);
        model->cloud().handleNotificationTap(tap);
        // Without a client each bootstrap ends before it waits on anything.
        QCOMPARE(model->cloud().cloudAuthGeneration(), 0);
        QCOMPARE(model->cloud().notificationTargets().identity, NotificationTargetQueue::Identity::unknown());
        QCOMPARE(model->cloud().notificationTargets().pending, (QList<NotificationRouter::Target>{tap}));
        // Each tap still brings up the tab, without an event to focus.
        QCOMPARE(model->cloud().scheduleFocusRequest(), 2);
        QVERIFY(!model->cloud().scheduleFocusEventID());
    }

    // --- Cloud refresh ----------------------------------------------------------------------------

    void theFourCloudReadsRunSideBySide()
    {
        storeSessionOf(userA);
        // No read is answered before all four have been asked for: one after the other, the
        // second would never be asked.
        const auto gate = std::make_shared<ReplyGate>();
        m_fake->script("GET", kSchedulesPath, heldReply("[]", gate));
        m_fake->script("GET", kSchedulesPath, heldReply("[]", gate));
        m_fake->script("GET", kGrantsPath, heldReply("[]", gate));
        m_fake->script("GET", kEventsPath, heldReply("[]", gate));
        const auto model = makeModel();
        model->cloud().startCloudBootstrap();
        QTRY_COMPARE_WITH_TIMEOUT(gate->held(), 4, 10000);
        QVERIFY(!model->cloud().cloudRefreshTask()->finished);
        gate->open();
        settle(*model, 1);
        QTRY_VERIFY_WITH_TIMEOUT(model->scheduleStore().historyState() == ScheduleStore::HistoryState::Loaded, 10000);
    }

    void aRefreshOvertakenByAnotherUserChangesNothingAtItsEnd()
    {
        storeSessionOf(userA);
        // A's grant read names a connected site and is held; B signs in meanwhile.
        const auto gate = std::make_shared<ReplyGate>();
        m_fake->script("GET", kGrantsPath, heldReply(QJsonDocument(grantsNamingSiteA()).toJson(), gate));
        const auto model = makeModel();
        CloudSide &cloud = model->cloud();
        (void)model->siteDirectory().markPublishingConnected(QStringLiteral("site-b"), QStringLiteral("Bo's site"));
        cloud.startCloudBootstrap();
        QTRY_COMPARE_WITH_TIMEOUT(cloud.cloudAuthUserID(), std::optional<QUuid>(userA), 10000);
        QTRY_COMPARE_WITH_TIMEOUT(gate->held(), 1, 10000);
        const std::shared_ptr<const CloudSide::TaskHandle> refreshOfA = cloud.cloudRefreshTask();
        m_fake->userId = userB;
        QVERIFY(waited(model->account().client()->verifyEmailCode(QStringLiteral("bo@example.com"),
                                                                  FakeBackend::validCode)));
        QVERIFY(refreshOfA->cancelled);
        QTRY_VERIFY_WITH_TIMEOUT(cloud.cloudRefreshTask()->finished, 10000);
        gate->open();
        QTRY_VERIFY_WITH_TIMEOUT(refreshOfA->finished, 10000);
        settle(*model, 2);
        // A's grants were dropped by the store; A's refresh did not stamp A's site, and B's
        // trusted read cleared the stamp of a site B has no grant for.
        QVERIFY(model->publishAccess().connectedSiteIDs().isEmpty());
        QVERIFY(!model->siteDirectory().site(QStringLiteral("site-a")));
        QVERIFY(!model->siteDirectory().site(QStringLiteral("site-b"))->publishingConnectedAt);
    }

    void theSiteFlagsAndReceiptsFollowTheGrantRead_data()
    {
        QTest::addColumn<bool>("grantsRead");
        QTest::newRow("grants read: stamped, others cleared, receipts checked") << true;
        QTest::newRow("grant read failed: nothing cleared, receipts left") << false;
    }

    void theSiteFlagsAndReceiptsFollowTheGrantRead()
    {
        QFETCH(bool, grantsRead);
        m_fake->setUserTable(QStringLiteral("site_publish_grants"), [](const QUuid &) {
            return QJsonArray{QJsonObject{{"site_id", "site-a"},
                                          {"site_name", "Acme"},
                                          {"domains", QJsonArray()},
                                          {"created_at", "2026-01-15T09:00:00+00:00"},
                                          {"connection_status", "active"}}};
        });
        if (!grantsRead)
            m_fake->script("GET", kGrantsPath,
                           FakeBackend::postgrestError(503, QStringLiteral("PGRST000"), QStringLiteral("down")));
        const QUuid operation = QUuid::createUuid();
        keepReceipt(userA, operation);
        m_truth = QJsonArray{truthRow(operation, QStringLiteral("committed"))};
        storeSessionOf(userA);
        const auto model = makeModel();
        (void)model->siteDirectory().markPublishingConnected(QStringLiteral("site-a"), QStringLiteral("Acme"));
        (void)model->siteDirectory().markPublishingConnected(QStringLiteral("site-old"), QStringLiteral("Old"));
        (void)model->siteDirectory().setPublishingConnectedAt(std::nullopt, QStringLiteral("site-a"));
        model->cloud().startCloudBootstrap();
        settle(*model, 1);
        // The queue read succeeded either way, so the flags are synced from what the store holds.
        QTRY_COMPARE_WITH_TIMEOUT(model->scheduleStore().cloudState(), ScheduleStore::CloudState::Cloud, 10000);
        if (grantsRead) {
            QTRY_VERIFY(model->siteDirectory().site(QStringLiteral("site-a"))->publishingConnectedAt.has_value());
            QVERIFY(!model->siteDirectory().site(QStringLiteral("site-old"))->publishingConnectedAt);
            QTRY_VERIFY_WITH_TIMEOUT(model->cloud().displayedOAuthCancellationNotice(), 10000);
        } else {
            QTRY_VERIFY_WITH_TIMEOUT(model->cloud().cloudRefreshTask()->finished, 10000);
            QVERIFY(!model->publishAccess().available());
            QVERIFY(!model->siteDirectory().site(QStringLiteral("site-a"))->publishingConnectedAt);
            QVERIFY(model->siteDirectory().site(QStringLiteral("site-old"))->publishingConnectedAt);
            // No receipt check without a trusted grant read.
            for (const FakeHttpServer::Request &request : m_fake->requests("GET", kStatesPath))
                QVERIFY(request.query.contains(QStringLiteral("recovery_required")));
            QVERIFY(!model->confirms().current());
        }
    }

    // --- Notification taps ------------------------------------------------------------------------

    void aTapIsRoutedOnlyForTheSignedInOwner_data()
    {
        QTest::addColumn<bool>("ownTap");
        QTest::addColumn<bool>("panelOpen");
        QTest::newRow("own event, panel closed") << true << false;
        QTest::newRow("own event, panel open") << true << true;
        QTest::newRow("another account's event") << false << false;
    }

    void aTapIsRoutedOnlyForTheSignedInOwner()
    {
        QFETCH(bool, ownTap);
        QFETCH(bool, panelOpen);
        const auto model = signedInModel(userA);
        model->setPanelIsOpen(panelOpen);
        CloudSide &cloud = model->cloud();
        QSignalSpy focus(&cloud, &CloudSide::scheduleFocusRequestChanged);
        const QUuid event = QUuid::createUuid();
        cloud.handleNotificationTap({event, ownTap ? userA : userB});
        if (ownTap) {
            QCOMPARE(cloud.scheduleFocusEventID(), std::optional<QUuid>(event));
            QCOMPARE(cloud.property("scheduleFocusEventID").toUuid(), event);
            QCOMPARE(cloud.scheduleFocusRequest(), 1);
            // An open panel is not asked to open again, but it still comes forward.
            QCOMPARE(m_activations, panelOpen ? 0 : 1);
            QCOMPARE(m_raises, 1);
            QVERIFY(notificationLog(*model).isEmpty());
            // The same event again: the panel is asked again, though the event is unchanged.
            QSignalSpy eventChanged(&cloud, &CloudSide::scheduleFocusEventIDChanged);
            model->setPanelIsOpen(true);
            cloud.handleNotificationTap({event, userA});
            QCOMPARE(cloud.scheduleFocusRequest(), 2);
            QCOMPARE(eventChanged.size(), 0);
            QCOMPARE(m_activations, panelOpen ? 0 : 1);
            QCOMPARE(m_raises, 2);
        } else {
            QVERIFY(!cloud.scheduleFocusEventID());
            QCOMPARE(focus.size(), 0);
            QCOMPARE(m_activations, 0);
            QCOMPARE(m_raises, 0);
            QCOMPARE(notificationLog(*model),
                     QStringList{"Ignored an outcome notification for a different signed-in account."});
            QVERIFY(m_systemLog.lines.join(u'\n').contains(
                QStringLiteral("[notification] Ignored an outcome notification for a different signed-in account.")));
        }
    }

    void aTapBeforeTheIdentityIsKnownWaitsForIt()
    {
        storeSessionOf(userA);
        const auto model = makeModel();
        CloudSide &cloud = model->cloud();
        // What the panel sees at each request: the event to focus, if any.
        QList<std::optional<QUuid>> focused;
        connect(&cloud, &CloudSide::scheduleFocusRequestChanged, this,
                [&] { focused.append(cloud.scheduleFocusEventID()); });
        const QUuid event = QUuid::createUuid();
        cloud.handleNotificationTap({event, userA});
        // First the tab without an event; once the tap's bootstrap has applied A, the waiting tap
        // is routed to its event.
        QTRY_COMPARE_WITH_TIMEOUT(focused.size(), 2, 10000);
        QCOMPARE(focused, (QList<std::optional<QUuid>>{std::nullopt, event}));
        QCOMPARE(cloud.scheduleFocusRequest(), 2);
        QCOMPARE(cloud.cloudAuthUserID(), std::optional<QUuid>(userA));
        QVERIFY(cloud.notificationTargets().pending.isEmpty());
        QCOMPARE(m_activations, 1);
        settle(*model, 1);
    }

    // Routing only ever opens the panel: several waiting taps routed at once call the activator
    // once, so one that toggles does not close the panel the first call opened.
    void routingWaitingTapsNeverTogglesThePanelClosed_data()
    {
        QTest::addColumn<bool>("panelOpen");
        QTest::addColumn<int>("activations");
        QTest::newRow("panel closed") << false << 1;
        QTest::newRow("panel open") << true << 0;
    }

    void routingWaitingTapsNeverTogglesThePanelClosed()
    {
        QFETCH(bool, panelOpen);
        QFETCH(int, activations);
        const auto model = makeModel(false);
        CloudSide &cloud = model->cloud();
        const QUuid first = QUuid::createUuid();
        const QUuid second = QUuid::createUuid();
        model->setPanelIsOpen(true);
        cloud.handleNotificationTap({first, userA});
        cloud.handleNotificationTap({QUuid::createUuid(), userB});
        cloud.handleNotificationTap({second, userA});
        QCOMPARE(cloud.notificationTargets().pending.size(), 3);
        model->setPanelIsOpen(panelOpen);
        m_activations = 0;
        m_raises = 0;
        m_panelShown = panelOpen;

        cloud.applyCloudAuthChange(userA);
        QCOMPARE(cloud.scheduleFocusRequest(), 3 + 2);
        QCOMPARE(cloud.scheduleFocusEventID(), std::optional<QUuid>(second));
        QCOMPARE(m_activations, activations);
        QCOMPARE(m_raises, 2);
        QVERIFY(m_panelShown);
        // B's tap went without a log line.
        QVERIFY(notificationLog(*model).isEmpty());
        QVERIFY(cloud.notificationTargets().pending.isEmpty());
    }

    // --- OAuth-cancellation notices -----------------------------------------------------------------

    void aNoticeWaitsBehindWhatIsUpAndShowsWhenItGoes_data()
    {
        QTest::addColumn<QString>("obstacle");
        QTest::addColumn<bool>("confirmIt");
        QTest::newRow("an activity sheet, closed") << "sheet" << false;
        QTest::newRow("another question, dismissed") << "question" << false;
        QTest::newRow("another question, confirmed") << "question" << true;
    }

    void aNoticeWaitsBehindWhatIsUpAndShowsWhenItGoes()
    {
        QFETCH(QString, obstacle);
        QFETCH(bool, confirmIt);
        const auto model = signedInModel(userA);
        CloudSide &cloud = model->cloud();
        bool confirmed = false;
        if (obstacle == u"sheet") {
            model->activity().open(ActivitySheet::Kind::authorizing, QStringLiteral("Authorizing webflow-acme"),
                                   QStringLiteral("webflow-acme"), QStringLiteral("A browser window will open."),
                                   ActivitySheet::Outcome::failure);
        } else {
            ConfirmRequest question;
            question.title = QStringLiteral("Remove Acme?");
            question.confirmLabel = QStringLiteral("Remove");
            question.action = [&confirmed] { confirmed = true; };
            model->confirms().present(question);
        }
        const OAuthCancellationNotice first = noticeOf(userA);
        const OAuthCancellationNotice later = noticeOf(userA, OAuthCancellationNotice::Kind::AuthorizationCompleted);
        cloud.presentOAuthCancellationNotice(first);
        cloud.presentOAuthCancellationNotice(later);
        QCOMPARE(cloud.queuedOAuthCancellationNotice(), std::optional<OAuthCancellationNotice>(later));
        QVERIFY(!cloud.displayedOAuthCancellationNotice());
        // Another account's notice is never shown, nor does it replace the waiting one.
        cloud.presentOAuthCancellationNotice(noticeOf(userB));
        QCOMPARE(cloud.queuedOAuthCancellationNotice(), std::optional<OAuthCancellationNotice>(later));

        if (obstacle == u"sheet")
            model->activity().closeActivity();
        else if (confirmIt)
            model->confirms().confirmCurrent();
        else
            model->confirms().dismissConfirm();
        QCOMPARE(confirmed, confirmIt);
        const std::optional<ConfirmRequest> shown = model->confirms().current();
        QVERIFY(shown);
        QCOMPARE(shown->title, QStringLiteral("Publishing authorization completed"));
        QCOMPARE(shown->message, QStringLiteral("Webflow completed this authorization before cancellation took effect. "
                                                "Review publishing access and disconnect it if you did not intend to "
                                                "keep it."));
        QCOMPARE(shown->confirmLabel, QStringLiteral("Review Publishing Access"));
        QCOMPARE(shown->cancelLabel, QStringLiteral("Cancel"));
        QVERIFY(shown->isNotice);
        QVERIFY(!shown->isDestructive);
        QCOMPARE(shown->icon, std::optional<QString>(QStringLiteral("cloud-off")));
        QCOMPARE(cloud.displayedOAuthCancellationNotice(), std::optional<OAuthCancellationNotice>(later));
        QVERIFY(!cloud.queuedOAuthCancellationNotice());

        // The same notice again while it shows changes nothing; a settlement of the owner without
        // receipts left closes it.
        cloud.presentOAuthCancellationNotice(later);
        QVERIFY(!cloud.queuedOAuthCancellationNotice());
        cloud.settleOAuthCancellationNotice(userA, std::nullopt);
        QVERIFY(!model->confirms().current());
        QVERIFY(!cloud.displayedOAuthCancellationNotice());
    }

    void dismissingTheNoticeForgetsItAndShowsTheNextOne()
    {
        const auto model = signedInModel(userA);
        CloudSide &cloud = model->cloud();
        const OAuthCancellationNotice first = noticeOf(userA);
        const OAuthCancellationNotice second = noticeOf(userA, OAuthCancellationNotice::Kind::AuthorizationCompleted);
        cloud.presentOAuthCancellationNotice(first);
        QCOMPARE(model->confirms().current()->title, QStringLiteral("Publishing authorization needs review"));
        QCOMPARE(model->confirms().current()->message,
                 QStringLiteral("Quorvane could not prove that this authorization was cancelled before token exchange. "
                                "Refresh publishing access and review the current connection before trying again."));
        cloud.presentOAuthCancellationNotice(second);
        QCOMPARE(cloud.queuedOAuthCancellationNotice(), std::optional<OAuthCancellationNotice>(second));
        model->confirms().dismissConfirm();
        QCOMPARE(cloud.displayedOAuthCancellationNotice(), std::optional<OAuthCancellationNotice>(second));
        QCOMPARE(model->confirms().current()->title, QStringLiteral("Publishing authorization completed"));
        model->confirms().dismissConfirm();
        QVERIFY(!cloud.displayedOAuthCancellationNotice());
        QVERIFY(!model->confirms().current());
        // Dismissed is not settled: the same notice may come back from the next reconciliation.
        cloud.presentOAuthCancellationNotice(first);
        QCOMPARE(cloud.displayedOAuthCancellationNotice(), std::optional<OAuthCancellationNotice>(first));
    }

    void theFirstRefreshShowsWhatAReceiptFoundAndTheReviewSettlesIt_data()
    {
        QTest::addColumn<QString>("phaseAtReview");
        QTest::addColumn<bool>("resolved");
        QTest::addColumn<QString>("shownAfter"); // the title; empty: nothing
        QTest::newRow("the same outcome: reviewed, and gone for good") << "reconciliation_pending" << true << QString();
        QTest::newRow("completed meanwhile: the new outcome is shown")
            << "committed" << false << "Publishing authorization completed";
        QTest::newRow("cancelled in time after all: nothing left to tell") << "cancelled" << true << QString();
    }

    void theFirstRefreshShowsWhatAReceiptFoundAndTheReviewSettlesIt()
    {
        QFETCH(QString, phaseAtReview);
        QFETCH(bool, resolved);
        QFETCH(QString, shownAfter);
        const QUuid operation = QUuid::createUuid();
        keepReceipt(userA, operation);
        m_truth = QJsonArray{truthRow(operation, QStringLiteral("reconciliation_pending"))};
        const auto model = signedInModel(userA);
        CloudSide &cloud = model->cloud();
        const OAuthCancellationNotice found{userA, operation, OAuthCancellationNotice::Kind::NeedsReview};
        QTRY_COMPARE_WITH_TIMEOUT(cloud.displayedOAuthCancellationNotice(), std::optional(found), 10000);
        QCOMPARE(model->confirms().current()->title, QStringLiteral("Publishing authorization needs review"));

        m_truth = QJsonArray{truthRow(operation, phaseAtReview)};
        const qsizetype grantReads = m_fake->requests("GET", kGrantsPath).size();
        model->confirms().confirmCurrent();
        QVERIFY(!cloud.displayedOAuthCancellationNotice());
        QTRY_COMPARE_WITH_TIMEOUT(m_fake->requests("GET", kGrantsPath).size(), grantReads + 1, 10000);
        QTRY_COMPARE_WITH_TIMEOUT(model->publishAccess().hasUnresolvedCancellations(userA), !resolved, 10000);
        if (!shownAfter.isEmpty()) {
            QTRY_VERIFY_WITH_TIMEOUT(model->confirms().current(), 10000);
            QCOMPARE(model->confirms().current()->title, shownAfter);
            QCOMPARE(cloud.displayedOAuthCancellationNotice()->kind, OAuthCancellationNotice::Kind::AuthorizationCompleted);
        } else {
            // The receipt is settled, and the review with it.
            QVERIFY(!model->confirms().current());
        }
        // The next refresh brings a resolved receipt's notice back no more.
        const qsizetype statesReads = m_fake->requests("GET", kStatesPath).size();
        const std::shared_ptr<const CloudSide::TaskHandle> reviewed = cloud.cloudRefreshTask();
        QVERIFY(waited(model->account().client()->refreshSession()));
        QTRY_VERIFY_WITH_TIMEOUT(cloud.cloudRefreshTask() != reviewed && cloud.cloudRefreshTask()->finished, 10000);
        settle(*model, grantReads + 2);
        QVERIFY(m_fake->requests("GET", kStatesPath).size() >= statesReads + (resolved ? 1 : 2));
        QCOMPARE(model->confirms().current().has_value(), !shownAfter.isEmpty());
    }

    void aReceiptOfTheSignedInOwnerIsCheckedAtOnce()
    {
        const QUuid operation = QUuid::createUuid();
        keepReceipt(userA, operation);
        // No record of the attempt yet: the first refresh has nothing to tell.
        const auto model = signedInModel(userA);
        QVERIFY(!model->confirms().current());
        m_truth = QJsonArray{truthRow(operation, QStringLiteral("committed"))};

        // Another account's receipt starts nothing.
        const qsizetype grantReads = m_fake->requests("GET", kGrantsPath).size();
        Q_EMIT model->publishAccess().unresolvedCancellationRecorded(userB);
        QVERIFY(!model->cloud().oauthCancellationRefreshTask());

        Q_EMIT model->publishAccess().unresolvedCancellationRecorded(userA);
        QTRY_COMPARE_WITH_TIMEOUT(model->cloud().displayedOAuthCancellationNotice(),
                                  std::optional(OAuthCancellationNotice{
                                      userA, operation, OAuthCancellationNotice::Kind::AuthorizationCompleted}),
                                  10000);
        QCOMPARE(m_fake->requests("GET", kGrantsPath).size(), grantReads + 1);
    }

    // A newer refresh replaces the running one: the older one's reads still land in their stores,
    // but the older refresh applies nothing after them.
    void aNewerRefreshSupersedesTheRunningOne_data()
    {
        QTest::addColumn<QString>("trigger");
        QTest::newRow("the same user applied again") << "apply";
        QTest::newRow("a token refresh of the same user") << "token";
        QTest::newRow("a second cancellation receipt") << "receipt";
        QTest::newRow("sign-out: the refresh is cancelled, none follows") << "sign-out";
    }

    void aNewerRefreshSupersedesTheRunningOne()
    {
        QFETCH(QString, trigger);
        const auto model = signedInModel(userA);
        CloudSide &cloud = model->cloud();
        // A site the directory knows without a mark: a sync after a grant read naming it marks it.
        (void)model->siteDirectory().markPublishingConnected(QStringLiteral("site-a"), QStringLiteral("Acme"));
        (void)model->siteDirectory().setPublishingConnectedAt(std::nullopt, QStringLiteral("site-a"));
        const auto gate = std::make_shared<ReplyGate>();
        m_fake->script("GET", kGrantsPath, heldReply(QJsonDocument(grantsNamingSiteA()).toJson(), gate));
        const bool receipts = trigger == u"receipt";
        const auto start = [&] {
            if (receipts)
                Q_EMIT model->publishAccess().unresolvedCancellationRecorded(userA);
            else if (trigger == u"token")
                QVERIFY(waited(model->account().client()->refreshSession()));
            else
                cloud.applyCloudAuthChange(userA);
        };
        const auto latest = [&] { return receipts ? cloud.oauthCancellationRefreshTask() : cloud.cloudRefreshTask(); };

        start();
        QTRY_COMPARE_WITH_TIMEOUT(gate->held(), 1, 10000);
        const std::shared_ptr<const CloudSide::TaskHandle> superseded = latest();
        if (trigger == u"sign-out") {
            cloud.applyCloudAuthChange(std::nullopt);
            QVERIFY(superseded->cancelled);
            QCOMPARE(latest(), superseded);
            gate->open();
            QTRY_VERIFY_WITH_TIMEOUT(superseded->finished, 10000);
            QVERIFY(!model->siteDirectory().site(QStringLiteral("site-a"))->publishingConnectedAt);
            return;
        }
        start();
        QVERIFY(latest() != superseded);
        QVERIFY(superseded->cancelled);
        // The newer refresh reads no grant of the site and runs to its end.
        QTRY_VERIFY_WITH_TIMEOUT(latest()->finished, 10000);
        QVERIFY(!superseded->finished);
        QCOMPARE(cloud.cloudAuthGeneration(), 1);

        gate->open();
        // The older grant read lands in the store all the same...
        QTRY_VERIFY_WITH_TIMEOUT(model->publishAccess().connectedSiteIDs().contains(QStringLiteral("site-a")), 10000);
        QTRY_VERIFY_WITH_TIMEOUT(superseded->finished, 10000);
        // ...but its refresh copies nothing into the site directory.
        QVERIFY(!model->siteDirectory().site(QStringLiteral("site-a"))->publishingConnectedAt);
    }

    void aTappedOutcomeNotificationFocusesItsEvent_data()
    {
        QTest::addColumn<bool>("notifications");
        QTest::newRow("notifications on") << true;
        QTest::newRow("notifications off: nothing shown") << false;
    }

    void aTappedOutcomeNotificationFocusesItsEvent()
    {
        QFETCH(bool, notifications);
        QVERIFY2(QDBusConnection::sessionBus().isConnected(), "run inside scripts/with-test-session");
        FakeNotificationServer server;
        QVERIFY(server.isRegistered());
        m_notifications = notifications;
        m_fake->userId = userA;
        const FakeBackend::PublishEvent published =
            m_fake->publishEvent(QStringLiteral("published"), QStringLiteral("Acme was published."), 1);
        m_fake->publishEvents.append(published);
        // The first cloud refresh takes the event in and shows it on the desktop.
        const auto model = signedInModel(userA);
        QTRY_COMPARE_WITH_TIMEOUT(model->scheduleStore().outcomeInbox().size(), 1, 10000);
        settle(*model, 1);
        if (!notifications) {
            // A call on the session bus is answered after anything sent to the server before it.
            const QDBusPendingCall answered = QDBusConnection::sessionBus().asyncCall(QDBusMessage::createMethodCall(
                QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("/org/freedesktop/Notifications"),
                QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("GetCapabilities")));
            QTRY_VERIFY_WITH_TIMEOUT(answered.isFinished(), 10000);
            QVERIFY(!answered.isError());
            QVERIFY(server.notifications().isEmpty());
            return;
        }
        QTRY_COMPARE_WITH_TIMEOUT(server.notifications().size(), 1, 10000);
        model->setPanelIsOpen(false);

        server.tap(server.notifications().constFirst().id);
        QTRY_COMPARE_WITH_TIMEOUT(model->cloud().scheduleFocusEventID(), std::optional(published.id), 10000);
        QCOMPARE(model->cloud().scheduleFocusRequest(), 1);
        QCOMPARE(m_activations, 1);
    }

    // --- Sign-in requests -----------------------------------------------------------------------------

    void aPendingSignInRunsOnlyWhileFresh_data()
    {
        QTest::addColumn<qint64>("ageMs");
        QTest::addColumn<bool>("runs");
        QTest::newRow("599 s") << qint64(599'000) << true;
        QTest::newRow("just under 600 s") << qint64(599'999) << true;
        QTest::newRow("600 s") << qint64(600'000) << false;
        QTest::newRow("15 min") << qint64(900'000) << false;
    }

    void aPendingSignInRunsOnlyWhileFresh()
    {
        QFETCH(qint64, ageMs);
        QFETCH(bool, runs);
        const auto model = signedInModel(userA);
        CloudSide &cloud = model->cloud();
        int ran = 0;
        cloud.requestSignIn(QStringLiteral("Sign in to connect publishing."), [&ran] { ++ran; });
        QVERIFY(cloud.signIn());
        QCOMPARE(cloud.signIn()->createdAt, m_clock.now());
        m_clock.advance(ageMs);
        cloud.completePendingSignIn();
        QCOMPARE(ran, runs ? 1 : 0);
        QVERIFY(!cloud.signIn());
        cloud.completePendingSignIn();
        QCOMPARE(ran, runs ? 1 : 0);
    }

    // A sign-in that finished while the panel was closed runs on when the panel is opened again,
    // once the launch's session has settled.
    void becomingKeyAgainCompletesAPendingSignIn()
    {
        const auto model = signedInModel(userA);
        PanelState panel(*model, m_clock, m_time.delay());
        int ran = 0;
        model->cloud().requestSignIn(QStringLiteral("Sign in to schedule."), [&ran] { ++ran; });
        panel.refreshOnBecomeKey();
        QTRY_COMPARE_WITH_TIMEOUT(ran, 1, 10000);
        QVERIFY(!model->cloud().signIn());
        QTRY_VERIFY_WITH_TIMEOUT(!model->isRefreshing(), 10000);
    }

    void theSheetsSuccessRunsItsOwnRequestWhateverItsAge()
    {
        const auto model = signedInModel(userA);
        CloudSide &cloud = model->cloud();
        QStringList ran;
        cloud.requestSignIn(QStringLiteral("first"), [&ran] { ran.append(QStringLiteral("first")); });
        const QUuid first = cloud.signIn()->id;
        cloud.requestSignIn(QStringLiteral("second"), [&ran] { ran.append(QStringLiteral("second")); });
        const QUuid second = cloud.signIn()->id;
        QVERIFY(first != second);
        QCOMPARE(cloud.property("signIn").value<SignInRequest>().reason, QStringLiteral("second"));
        m_clock.advance(15 * 60 * 1000);
        // The replaced request's success completes the pending one, which is too old by now.
        cloud.finishSignIn(first);
        QVERIFY(ran.isEmpty());
        QVERIFY(!cloud.signIn());

        cloud.requestSignIn(QStringLiteral("third"), [&ran] { ran.append(QStringLiteral("third")); });
        m_clock.advance(15 * 60 * 1000);
        cloud.finishSignIn(cloud.signIn()->id);
        QCOMPARE(ran, QStringList{"third"});
        QVERIFY(!cloud.signIn());
    }

    // The introduction's "Sign In Again": once signed in, the cloud bootstrap runs again and
    // reads the account's cloud state afresh.
    void aViewsSignInCanBootstrapTheCloudAfterwards()
    {
        const auto model = signedInModel(userA);
        settle(*model, 1);
        const qsizetype reads = m_fake->requests("GET", kGrantsPath).size();
        CloudSide &cloud = model->cloud();
        QVERIFY(QMetaObject::invokeMethod(&cloud, "requestAccountSignIn", Q_ARG(QString, QStringLiteral("Sign in again.")),
                                          Q_ARG(bool, true)));
        QCOMPARE(cloud.signIn()->reason, QStringLiteral("Sign in again."));
        cloud.finishSignIn(cloud.signIn()->id);
        QVERIFY(!cloud.signIn());
        QTRY_VERIFY_WITH_TIMEOUT(m_fake->requests("GET", kGrantsPath).size() > reads, 10000);
        settle(*model, reads + 1);
    }

    void aRequestWithoutALiveSessionStaysPendingAndSuggestsTheCachedAddress()
    {
        putFile(m_home->appDataDir() + QStringLiteral("/account.json"),
                R"({"version":1,"ownerID":"3F2B8C1E-5D4A-4E8F-9A7B-1C2D3E4F5A6B","profile":{"email":"ada@example.com","marketingOptIn":false,"fetchedAt":790171200}})");
        const auto model = makeModel();
        model->cloud().startCloudBootstrap();
        QTRY_COMPARE(model->account().sessionKind(), AccountModel::SessionKind::ReauthenticationRequired);
        const qint64 accountGeneration = model->account().accountGeneration();
        int ran = 0;
        model->cloud().requestSignIn(QStringLiteral("Sign in to schedule."), [&ran] { ++ran; });
        // A sign-in half done is abandoned, not resumed.
        QCOMPARE(model->account().accountGeneration(), accountGeneration + 1);
        QCOMPARE(model->cloud().signIn()->suggestedEmail, std::optional<QString>(QStringLiteral("ada@example.com")));
        model->cloud().completePendingSignIn();
        QCOMPARE(ran, 0);
        QVERIFY(model->cloud().signIn());
        model->cloud().dismissSignIn();
        QVERIFY(!model->cloud().signIn());
    }

    void aSignOutTheServerDidNotHearLeavesANotice_data()
    {
        QTest::addColumn<bool>("reachable");
        QTest::newRow("server reachable") << true;
        QTest::newRow("server unreachable") << false;
    }

    void aSignOutTheServerDidNotHearLeavesANotice()
    {
        QFETCH(bool, reachable);
        const auto model = signedInModel(userA);
        if (!reachable) {
            FakeBackend::Reply dropped;
            dropped.drop = true;
            m_fake->script("POST", QStringLiteral("/auth/v1/logout"), dropped);
            m_fake->script("POST", QStringLiteral("/auth/v1/logout"), dropped);
        }
        waited(model->cloud().signOut());
        // The identity follows the client's sign-out event either way.
        QVERIFY(!model->cloud().cloudAuthUserID());
        QCOMPARE(model->cloud().cloudAuthGeneration(), 2);
        const std::optional<ConfirmRequest> notice = model->confirms().current();
        QCOMPARE(notice.has_value(), !reachable);
        if (notice) {
            QCOMPARE(notice->title, QStringLiteral("Signed out on this computer only"));
            QCOMPARE(notice->message, CloudSide::signedOutLocallyMessage);
            QCOMPARE(notice->confirmLabel, QStringLiteral("OK"));
            QVERIFY(notice->isNotice);
            QCOMPARE(notice->icon, std::optional<QString>(QStringLiteral("cloud-off")));
        }
    }
};

QTEST_MAIN(tst_CloudSide)
#include "tst_CloudSide.moc"
