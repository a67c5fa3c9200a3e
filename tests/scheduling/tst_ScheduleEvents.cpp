// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "backend/BackendClient.h"
#include "foundation/BackendTimestamp.h"
#include "foundation/UuidText.h"
#include "model/ErrorLog.h"
#include "platform/UserNotifications.h"
#include "scheduling/NotificationRouter.h"
#include "scheduling/NotificationTargetQueue.h"
#include "scheduling/ScheduleStore.h"
#include "support/FakeBackend.h"
#include "support/FakeNotificationServer.h"
#include "support/ManualClock.h"
#include "support/ManualDelay.h"
#include "support/MemorySessionStorage.h"
#include "support/MemorySystemLog.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <QCoro/QCoroTask>

#include <memory>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

using Event = FakeBackend::PublishEvent;
using Shown = FakeNotificationServer::Notification;

Q_DECLARE_METATYPE(FakeBackend::Reply)

namespace {

const QString kEventsPath = u"/rest/v1/publish_events"_s;
const QString kQueuePath = u"/rest/v1/scheduled_publishes"_s;
const QString kProbe = u"probe"_s;

/**
 * One signed-in account's schedule store against the fake backend on loopback and the fake
 * notification server on the test's session bus, its poll on a clock the test moves.
 */
struct Harness
{
    ManualDelay delay; // first, so that it goes last and wakes the poll to find its store gone
    MemorySystemLog systemLog;
    ErrorLog errorLog{systemLog};
    ManualClock clock;
    QTemporaryDir folder;
    FakeBackend backend;
    MemorySessionStorage storage;
    std::unique_ptr<BackendClient> client;
    FakeNotificationServer server;
    UserNotifications notifications{QDBusConnection::sessionBus()};
    /// Set: every cache write fails with it.
    std::optional<QString> writeFailure;
    int writes = 0;
    std::unique_ptr<ScheduleStore> store;

    Harness()
    {
        backend.servePublishEvents();
        BackendClient::Settings settings;
        settings.clock = &clock;
        settings.requestTimeout = 5s;
        client = std::make_unique<BackendClient>(backend.url(), FakeBackend::publishableKey, &storage, settings);
        makeStore();
    }

    /// A store over the cache folder as it is now, as the owner makes it.
    void makeStore()
    {
        const auto writer = [this](const QByteArray &bytes, const QString &path) {
            ++writes;
            return writeFailure ? writeFailure : StoreFile::writeAtomically(bytes, path);
        };
        store.reset();
        store = std::make_unique<ScheduleStore>(errorLog, clock, folder.path(), delay.delay(), false, writer,
                                                nullptr, &notifications);
    }

    /// Signs the backend session in and binds the store to its account, with the client attached.
    void signIn()
    {
        QVERIFY(QCoro::waitFor(client->verifyEmailCode(backend.userEmail, FakeBackend::validCode)).ok());
        store->attachClient(client.get());
        store->bindAccount(backend.userId);
    }

    void ingest() { QCoro::waitFor(store->ingestPublishEvents()); }

    /// The next read of the events answers what the table holds now, but only after a while.
    void answerNextReadLate(std::chrono::milliseconds delay = 100ms)
    {
        QJsonArray rows;
        for (const Event &event : std::as_const(backend.publishEvents)) {
            rows.append(QJsonObject{{u"id"_s, UuidText::format(event.id)},
                                    {u"kind"_s, event.kind},
                                    {u"message"_s, event.message},
                                    {u"created_at"_s, BackendTimestamp::format(event.createdAt)}});
        }
        FakeBackend::Reply late = FakeBackend::Reply::json(200, rows);
        late.delay = delay;
        backend.script("GET", kEventsPath, late);
    }

    /// The store's notifications the server has received, in order.
    [[nodiscard]] QList<Shown> shown() const
    {
        QList<Shown> store = server.notifications();
        store.removeIf([](const Shown &notification) { return notification.summary == kProbe; });
        return store;
    }

    /// Waits until the server holds @p count of the store's notifications, and answers whether it
    /// holds exactly that many: a probe posted afterwards on the same connection reaches the
    /// server after every notification posted before it.
    [[nodiscard]] bool notified(qsizetype count)
    {
        QSignalSpy received(&server, &FakeNotificationServer::received);
        while (shown().size() < count) {
            if (!received.wait(5000))
                return false;
        }
        QCoro::waitFor(notifications.post({kProbe, kProbe, {}, false, {}}));
        return shown().size() == count;
    }

    [[nodiscard]] QList<FakeBackend::Request> reads() const { return backend.requests("GET", kEventsPath); }
    [[nodiscard]] QList<FakeBackend::Request> marks() const { return backend.requests("PATCH", kEventsPath); }

    [[nodiscard]] QStringList logged(const QString &area) const
    {
        QStringList messages;
        for (const ErrorEvent &event : errorLog.events()) {
            if (event.area == area)
                messages.append(event.message);
        }
        return messages;
    }
};

QList<QUuid> idsOf(const QList<PublishAttention> &messages)
{
    QList<QUuid> ids;
    for (const PublishAttention &message : messages)
        ids.append(message.id);
    return ids;
}

QStringList summaries(const QList<Shown> &shown)
{
    QStringList titles;
    for (const Shown &notification : shown)
        titles.append(notification.summary);
    return titles;
}

QStringList bodies(const QList<Shown> &shown)
{
    QStringList texts;
    for (const Shown &notification : shown)
        texts.append(notification.body);
    return texts;
}

} // namespace

class tst_ScheduleEvents : public QObject
{
    Q_OBJECT

private:
    /// The user info each of @p shown was posted with, read back by tapping them in turn.
    QList<QVariantMap> userInfoOf(Harness &harness, const QList<Shown> &shown)
    {
        QSignalSpy taps(&harness.notifications, &UserNotifications::activated);
        QList<QVariantMap> infos;
        for (const Shown &notification : shown) {
            harness.server.tap(notification.id);
            if (!taps.wait(5000))
                return {};
            infos.append(taps.takeFirst().constFirst().toMap());
        }
        return infos;
    }

private slots:
    void initTestCase()
    {
        QVERIFY2(QDBusConnection::sessionBus().isConnected(), "run inside scripts/with-test-session");
    }

    void ingestKeepsMarksSeenThenNotifiesOldestFirst()
    {
        Harness harness;
        QVERIFY(harness.server.isRegistered());
        harness.signIn();
        const Event late = harness.backend.publishEvent(u"failed"_s, u"Webflow refused the publish."_s, 20);
        const Event early = harness.backend.publishEvent(u"published"_s, u"Acme went live."_s, 0);
        const Event middle = harness.backend.publishEvent(u"skipped_drift"_s, u"The site changed."_s, 10);
        harness.backend.publishEvents = {late, early, middle};

        harness.ingest();

        QCOMPARE(harness.reads().size(), 1);
        QCOMPARE(harness.reads().constFirst().query,
                 u"select=id,kind,message,created_at&seen_at=is.null&order=created_at.asc.nullslast"_s);
        QCOMPARE(harness.marks().size(), 1);
        QCOMPARE(harness.marks().constFirst().query, u"id=in.(%1,%2,%3)"_s.arg(UuidText::format(early.id),
                                                                               UuidText::format(middle.id),
                                                                               UuidText::format(late.id)));
        QCOMPARE(harness.marks().constFirst().json(),
                 (QJsonObject{{u"seen_at"_s, u"2026-01-15T12:00:00.000Z"_s}}));
        for (const Event &event : std::as_const(harness.backend.publishEvents))
            QVERIFY(event.seenAt);

        QCOMPARE(idsOf(harness.store->outcomeInbox()), (QList<QUuid>{late.id, middle.id, early.id}));
        QCOMPARE(idsOf(harness.store->attention()), (QList<QUuid>{middle.id, late.id}));

        QVERIFY(harness.notified(3));
        const QList<Shown> shown = harness.shown();
        QCOMPARE(summaries(shown), (QStringList{u"Published"_s, u"Publish skipped"_s, u"Publish failed"_s}));
        const QString owner = UuidText::format(harness.backend.userId);
        QCOMPARE(userInfoOf(harness, shown),
                 (QList<QVariantMap>{
                     {{u"quorvane_event_id"_s, UuidText::format(early.id)}, {u"quorvane_owner_id"_s, owner}},
                     {{u"quorvane_event_id"_s, UuidText::format(middle.id)}, {u"quorvane_owner_id"_s, owner}},
                     {{u"quorvane_event_id"_s, UuidText::format(late.id)}, {u"quorvane_owner_id"_s, owner}},
                 }));
    }

    void titleAndSoundFollowTheKind_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("title");
        QTest::addColumn<bool>("sound");
        QTest::newRow("published") << u"published"_s << u"Published"_s << false;
        QTest::newRow("skipped_drift") << u"skipped_drift"_s << u"Publish skipped"_s << true;
        QTest::newRow("skipped_no_access") << u"skipped_no_access"_s << u"Publish skipped"_s << true;
        QTest::newRow("skipped_targets_changed") << u"skipped_targets_changed"_s << u"Publish skipped"_s << true;
        QTest::newRow("failed") << u"failed"_s << u"Publish failed"_s << true;
        QTest::newRow("a kind this build does not know") << u"cancelled_by_host"_s << u"Publish failed"_s << true;
        QTest::newRow("the kind compared exactly") << u"Published"_s << u"Publish failed"_s << true;
    }

    void titleAndSoundFollowTheKind()
    {
        QFETCH(QString, kind);
        QFETCH(QString, title);
        QFETCH(bool, sound);
        Harness harness;
        harness.signIn();
        harness.backend.publishEvents = {harness.backend.publishEvent(kind, u"R&D <beta> site"_s, 0)};

        harness.ingest();

        QVERIFY(harness.notified(1));
        const Shown shown = harness.shown().constFirst();
        QCOMPARE(shown.summary, title);
        QCOMPARE(shown.body, u"R&D <beta> site"_s);
        QCOMPARE(shown.hints.value(u"suppress-sound"_s).toBool(), !sound);
        QCOMPARE(shown.hints.contains(u"sound-name"_s), sound);
    }

    void aFailedMarkPostsNothingAndTheNextPassPostsBoth()
    {
        Harness harness;
        harness.signIn();
        const Event first = harness.backend.publishEvent(u"failed"_s, u"first"_s, 0);
        const Event second = harness.backend.publishEvent(u"published"_s, u"second"_s, 5);
        harness.backend.publishEvents = {second, first};
        harness.backend.script("PATCH", kEventsPath,
                               FakeBackend::postgrestError(503, u"PGRST000"_s, u"the database is restarting"_s));

        harness.ingest();

        QCOMPARE(harness.marks().size(), 1);
        QCOMPARE(harness.logged(u"publish-events"_s),
                 (QStringList{u"event ingest failed: the database is restarting"_s}));
        QCOMPARE(idsOf(harness.store->outcomeInbox()), (QList<QUuid>{second.id, first.id}));
        for (const Event &event : std::as_const(harness.backend.publishEvents))
            QVERIFY(!event.seenAt);
        QVERIFY(harness.notified(0));

        const int writes = harness.writes;
        harness.ingest();

        // Kept already, so the second pass changes nothing locally and writes nothing.
        QCOMPARE(harness.writes, writes);
        QCOMPARE(harness.marks().size(), 2);
        QVERIFY(harness.notified(2));
        const QList<Shown> shown = harness.shown();
        QCOMPARE(bodies(shown), (QStringList{u"first"_s, u"second"_s}));
        const QList<QVariantMap> infos = userInfoOf(harness, shown);
        QCOMPARE(infos.size(), 2);
        for (const QVariantMap &info : infos)
            QCOMPARE(info.value(u"quorvane_owner_id"_s), QVariant(UuidText::format(harness.backend.userId)));
        QCOMPARE(infos[0].value(u"quorvane_event_id"_s), QVariant(UuidText::format(first.id)));
    }

    void eventsTheStoreCannotKeepStayUnseenAndUnnotified_data()
    {
        QTest::addColumn<bool>("unreadableCache");
        QTest::newRow("a failed save") << false;
        QTest::newRow("a cache file kept read-only") << true;
    }

    void eventsTheStoreCannotKeepStayUnseenAndUnnotified()
    {
        QFETCH(bool, unreadableCache);
        Harness harness;
        if (unreadableCache) {
            QFile file(harness.folder.filePath(ScheduleStore::fileName));
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write("{\"version\": 99}") > 0);
            file.close();
            harness.makeStore();
            QVERIFY(!harness.store->persistenceWritable());
        } else {
            harness.writeFailure = u"No space left on device"_s;
        }
        harness.signIn();
        harness.backend.publishEvents = {harness.backend.publishEvent(u"failed"_s, u"It broke."_s, 0)};

        harness.ingest();

        QCOMPARE(harness.reads().size(), 1);
        QCOMPARE(harness.marks().size(), 0);
        QVERIFY(harness.store->outcomeInbox().isEmpty());
        QVERIFY(harness.store->attention().isEmpty());
        QVERIFY(!harness.backend.publishEvents.constFirst().seenAt);
        QVERIFY(harness.notified(0));
        QVERIFY(harness.logged(u"publish-events"_s).isEmpty());

        if (unreadableCache)
            return; // read-only for the rest of the process
        harness.writeFailure.reset();
        harness.ingest();

        QVERIFY(harness.notified(1));
        QCOMPARE(harness.shown().constFirst().body, u"It broke."_s);
        QVERIFY(harness.backend.publishEvents.constFirst().seenAt);
    }

    void aFailedReadIsLoggedAndNothingMoves_data()
    {
        QTest::addColumn<FakeBackend::Reply>("reply");
        QTest::addColumn<QString>("logged");
        QTest::newRow("server error")
            << FakeBackend::postgrestError(500, u"XX000"_s, u"internal error"_s) << u"event ingest failed: internal error"_s;
        QTest::newRow("a row without its kind")
            << FakeBackend::Reply::json(200, QJsonArray{QJsonObject{{u"id"_s, u"6F9619FF-8B86-D011-B42D-00C04FC964FF"_s},
                                                                    {u"message"_s, u"m"_s},
                                                                    {u"created_at"_s, u"2026-01-15T09:00:00Z"_s}}})
            << u"event ingest failed: "_s;
    }

    void aFailedReadIsLoggedAndNothingMoves()
    {
        QFETCH(FakeBackend::Reply, reply);
        QFETCH(QString, logged);
        Harness harness;
        harness.signIn();
        harness.backend.publishEvents = {harness.backend.publishEvent(u"failed"_s, u"m"_s, 0)};
        harness.backend.script("GET", kEventsPath, reply);

        harness.ingest();

        const QStringList lines = harness.logged(u"publish-events"_s);
        QCOMPARE(lines.size(), 1);
        QVERIFY2(lines.constFirst().startsWith(logged), qPrintable(lines.constFirst()));
        QCOMPARE(harness.marks().size(), 0);
        QVERIFY(harness.store->outcomeInbox().isEmpty());

        // The guard was handed back: the next ingest runs.
        harness.ingest();
        QVERIFY(harness.notified(1));
    }

    void anEmptyReadNeitherMarksNorNotifies()
    {
        Harness harness;
        harness.signIn();
        const int writes = harness.writes;

        harness.ingest();

        QCOMPARE(harness.reads().size(), 1);
        QCOMPARE(harness.marks().size(), 0);
        QCOMPARE(harness.writes, writes);
        QVERIFY(harness.notified(0));
    }

    void oneIngestAtATimeAndAnOlderOneLeavesTheNewerGuardAlone()
    {
        Harness harness;
        harness.signIn();
        harness.backend.publishEvents = {harness.backend.publishEvent(u"failed"_s, u"m"_s, 0)};
        harness.answerNextReadLate(100ms);
        harness.answerNextReadLate(400ms);

        QCoro::Task<> older = harness.store->ingestPublishEvents();
        QTRY_COMPARE(harness.reads().size(), 1);
        QCoro::waitFor(harness.store->ingestPublishEvents()); // returns while the first waits
        QCOMPARE(harness.reads().size(), 1);
        QCOMPARE(harness.marks().size(), 0);

        // An account change hands the guard to the next ingest at once.
        harness.store->bindAccount(std::nullopt);
        harness.store->bindAccount(harness.backend.userId);
        QCoro::Task<> newer = harness.store->ingestPublishEvents();
        QTRY_COMPARE(harness.reads().size(), 2);
        QCoro::waitFor(std::move(older));
        QCOMPARE(harness.marks().size(), 0);

        // The newer ingest still waits for its read and holds the guard.
        QCoro::waitFor(harness.store->ingestPublishEvents());
        QCOMPARE(harness.reads().size(), 2);

        QCoro::waitFor(std::move(newer));
        QCOMPARE(harness.marks().size(), 1);
        QVERIFY(harness.notified(1));
    }

    void anAccountChangeDuringTheReadDropsTheRowsSilently()
    {
        Harness harness;
        harness.signIn();
        harness.backend.publishEvents = {harness.backend.publishEvent(u"failed"_s, u"m"_s, 0)};
        harness.answerNextReadLate();

        QCoro::Task<> ingest = harness.store->ingestPublishEvents();
        QTRY_COMPARE(harness.reads().size(), 1);
        harness.store->bindAccount(QUuid::createUuid());
        QCoro::waitFor(std::move(ingest));

        QCOMPARE(harness.marks().size(), 0);
        QVERIFY(harness.store->outcomeInbox().isEmpty());
        QVERIFY(harness.logged(u"publish-events"_s).isEmpty());
        QVERIFY(!harness.backend.publishEvents.constFirst().seenAt);
        QVERIFY(harness.notified(0));
    }

    void aClientDetachedDuringTheSnapshotEndsTheIngest()
    {
        Harness harness;
        harness.signIn();
        harness.backend.publishEvents = {harness.backend.publishEvent(u"failed"_s, u"m"_s, 0)};
        // The snapshot's session read has to renew the token; the client goes meanwhile.
        harness.clock.advance(2 * 3600 * 1000);
        harness.backend.route("POST", u"/auth/v1/token"_s, [&](const FakeBackend::Request &) {
            harness.store->attachClient(nullptr);
            return FakeBackend::Reply::json(200, harness.backend.issueSession());
        });

        harness.ingest();

        QCOMPARE(harness.reads().size(), 0);
        QVERIFY(harness.store->outcomeInbox().isEmpty());
        QVERIFY(harness.notified(0));
    }

    void postingIsNotedUnderNotify()
    {
        Harness harness;
        harness.signIn();
        harness.backend.publishEvents = {harness.backend.publishEvent(u"skipped_drift"_s, u"m"_s, 0),
                                         harness.backend.publishEvent(u"failed"_s, u"n"_s, 1)};
        harness.server.refuseNext = u"Too many notifications"_s;

        harness.ingest();

        QVERIFY(harness.notified(2));
        QTRY_COMPARE(harness.logged(u"notify"_s),
                     (QStringList{u"posting skipped_drift: auth=2 alert=2"_s, u"add failed: Too many notifications"_s,
                                  u"posting failed: auth=2 alert=2"_s}));
    }

    void thePollRunsEveryFiveMinutesOnItsOwnClock()
    {
        Harness harness;
        QCOMPARE(harness.delay.pending(), 0); // nothing polls before a client is attached
        harness.signIn();
        harness.store->attachClient(harness.client.get()); // a second client starts no second poll
        QCOMPARE(harness.delay.pending(), 1);
        harness.backend.publishEvents = {harness.backend.publishEvent(u"failed"_s, u"m"_s, 0)};

        harness.delay.advance(299s);
        QCOMPARE(harness.delay.pending(), 1); // still the first wait: no pass has begun

        harness.delay.advance(1s);
        QTRY_COMPARE(harness.delay.pending(), 1); // the pass is over and the next wait began
        QStringList order;
        for (const FakeBackend::Request &request : harness.backend.requests()) {
            if (request.path.startsWith(u"/rest/"_s))
                order.append(QString::fromLatin1(request.method) + u' ' + request.path);
        }
        QCOMPARE(order, (QStringList{u"GET "_s + kEventsPath, u"PATCH "_s + kEventsPath, u"GET "_s + kQueuePath,
                                     u"GET "_s + kQueuePath}));
        QVERIFY(harness.notified(1));

        harness.delay.advance(300s);
        QTRY_COMPARE(harness.reads().size(), 2);
        QTRY_COMPARE(harness.delay.pending(), 1);
        QCOMPARE(harness.reads().size(), 2);
    }

    void aTapOpensOnlyTheSignedInOwnersHistory_data()
    {
        QTest::addColumn<bool>("sameAccount");
        QTest::newRow("the event's owner is signed in") << true;
        QTest::newRow("another account is signed in") << false;
    }

    void aTapOpensOnlyTheSignedInOwnersHistory()
    {
        QFETCH(bool, sameAccount);
        Harness harness;
        harness.signIn();
        const Event event = harness.backend.publishEvent(u"failed"_s, u"m"_s, 0);
        harness.backend.publishEvents = {event};
        harness.ingest();
        QVERIFY(harness.notified(1));

        NotificationTargetQueue queue;
        queue.updateIdentity(sameAccount ? harness.backend.userId : QUuid::createUuid());
        QList<NotificationTargetQueue::Offer> answers;
        const NotificationRouter router(this, [&](const NotificationRouter::Target &target) {
            answers.append(queue.offerTap(target, harness.errorLog.recorder(), harness.clock.now()));
        });
        router.listenTo(harness.notifications);

        harness.server.tap(harness.shown().constFirst().id);

        QTRY_COMPARE(answers.size(), 1);
        const NotificationRouter::Target target{event.id, harness.backend.userId};
        QCOMPARE(answers.constFirst(), sameAccount ? NotificationTargetQueue::Offer::route(target)
                                                   : NotificationTargetQueue::Offer::discard());
        QCOMPARE(harness.logged(u"notification"_s),
                 sameAccount ? QStringList() : QStringList{u"Ignored an outcome notification for a different signed-in account."_s});
        QCOMPARE(harness.systemLog.lines.contains(
                     u"[notification] Ignored an outcome notification for a different signed-in account."_s),
                 !sameAccount);
    }

    void recordOutcomeEventsKeepsOrUndoes()
    {
        Harness harness;
        harness.signIn();
        const PublishAttention published{QUuid::createUuid(), u"published"_s, u"live"_s, harness.clock.now()};
        const PublishAttention failed{QUuid::createUuid(), u"failed"_s, u"broke"_s, harness.clock.now().addSecs(60)};

        QVERIFY(harness.store->recordOutcomeEvents({published}));
        QCOMPARE(idsOf(harness.store->outcomeInbox()), QList<QUuid>{published.id});
        QVERIFY(harness.store->attention().isEmpty());

        harness.writeFailure = u"Read-only file system"_s;
        QSignalSpy inboxChanged(harness.store.get(), &ScheduleStore::outcomeInboxChanged);
        QVERIFY(!harness.store->recordOutcomeEvents({failed}));
        QCOMPARE(idsOf(harness.store->outcomeInbox()), QList<QUuid>{published.id});
        QVERIFY(harness.store->attention().isEmpty());

        harness.writeFailure.reset();
        QVERIFY(harness.store->recordOutcomeEvents({failed, published}));
        QCOMPARE(idsOf(harness.store->attention()), QList<QUuid>{failed.id});
        const int writes = harness.writes;
        QVERIFY(harness.store->recordOutcomeEvents({failed, published}));
        QCOMPARE(harness.writes, writes); // nothing new, nothing written

        // Acknowledged, the message stays out of the attention list when it is read again.
        QVERIFY(harness.store->acknowledgeAttention());
        QVERIFY(harness.store->attention().isEmpty());
        QVERIFY(harness.store->recordOutcomeEvents({failed}));
        QVERIFY(harness.store->attention().isEmpty());
        QCOMPARE(idsOf(harness.store->outcomeInbox()), (QList<QUuid>{failed.id, published.id}));
    }
};

QTEST_GUILESS_MAIN(tst_ScheduleEvents)
#include "tst_ScheduleEvents.moc"
