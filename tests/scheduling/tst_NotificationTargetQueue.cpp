// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "scheduling/NotificationTargetQueue.h"

#include <QSignalSpy>
#include <QTest>
#include <QThread>

using namespace Qt::StringLiterals;

using Target = NotificationRouter::Target;
using Offer = NotificationTargetQueue::Offer;
using Identity = NotificationTargetQueue::Identity;

namespace {

const QUuid alice = QUuid::fromString(u"6f9619ff-8b86-d011-b42d-00c04fc964ff"_s);
const QUuid bob = QUuid::fromString(u"1b4e28ba-2fa1-11d2-883f-0016d3cca427"_s);

Target tap(const QUuid &owner)
{
    return {QUuid::createUuid(), owner};
}

// The user info a notification for the target is posted with.
QVariantMap userInfoOf(const Target &target)
{
    return {{u"quorvane_event_id"_s, target.eventID.toString(QUuid::WithoutBraces)},
            {u"quorvane_owner_id"_s, target.ownerID.toString(QUuid::WithoutBraces)}};
}

} // namespace

class tst_NotificationTargetQueue : public QObject
{
    Q_OBJECT

private slots:
    void offer_data()
    {
        QTest::addColumn<Identity>("identity");
        QTest::addColumn<bool>("routed");
        QTest::newRow("owner signed in") << Identity::signedIn(alice) << true;
        QTest::newRow("another account") << Identity::signedIn(bob) << false;
        QTest::newRow("signed out") << Identity::signedOut() << false;
    }

    void offer()
    {
        QFETCH(Identity, identity);
        QFETCH(bool, routed);
        NotificationTargetQueue queue;
        queue.identity = identity;
        const Target target = tap(alice);
        QCOMPARE(queue.offer(target), routed ? Offer::route(target) : Offer::discard());
        QVERIFY(queue.pending.isEmpty());
    }

    void unknownIdentityHoldsTapsUntilItsOwnerArrives()
    {
        NotificationTargetQueue queue;
        QCOMPARE(queue.identity, Identity::unknown());
        const Target first = tap(alice);
        const Target other = tap(bob);
        const Target second = tap(alice);
        for (const Target &target : {first, first, other, second})
            QCOMPARE(queue.offer(target), Offer::queued());
        QCOMPARE(queue.pending, (QList<Target>{first, other, second}));

        QCOMPARE(queue.updateIdentity(alice), (QList<Target>{first, second}));
        QVERIFY(queue.pending.isEmpty());
        const Target later = tap(alice);
        QCOMPARE(queue.offer(later), Offer::route(later));
        QVERIFY(queue.pending.isEmpty());
    }

    void signingOutDropsHeldTaps()
    {
        NotificationTargetQueue queue;
        queue.offer(tap(alice));
        QVERIFY(queue.updateIdentity(std::nullopt).isEmpty());
        QVERIFY(queue.pending.isEmpty());
        QCOMPARE(queue.identity, Identity::signedOut());
        QCOMPARE(queue.offer(tap(alice)), Offer::discard());
        QCOMPARE(queue.updateIdentity(bob), QList<Target>());
        QCOMPARE(queue.identity, Identity::signedIn(bob));
    }

    void targetFromUserInfo_data()
    {
        QTest::addColumn<QVariantMap>("userInfo");
        QTest::addColumn<bool>("readable");
        const QString event = u"1B4E28BA-2FA1-11D2-883F-0016D3CCA427"_s;
        const QString owner = alice.toString(QUuid::WithoutBraces);
        QTest::newRow("both keys") << QVariantMap{{u"quorvane_event_id"_s, event}, {u"quorvane_owner_id"_s, owner},
                                                  {u"extra"_s, 1}}
                                   << true;
        QTest::newRow("no owner") << QVariantMap{{u"quorvane_event_id"_s, event}} << false;
        QTest::newRow("no event") << QVariantMap{{u"quorvane_owner_id"_s, owner}} << false;
        QTest::newRow("event not a uuid") << QVariantMap{{u"quorvane_event_id"_s, u"evt-1"_s},
                                                         {u"quorvane_owner_id"_s, owner}}
                                          << false;
        QTest::newRow("owner not text") << QVariantMap{{u"quorvane_event_id"_s, event},
                                                       {u"quorvane_owner_id"_s, QVariant::fromValue(alice)}}
                                        << false;
    }

    void targetFromUserInfo()
    {
        QFETCH(QVariantMap, userInfo);
        QFETCH(bool, readable);
        const auto target = NotificationRouter::targetFromUserInfo(userInfo);
        QCOMPARE(bool(target), readable);
        if (target)
            QCOMPARE(*target, (Target{QUuid::fromString(u"1b4e28ba-2fa1-11d2-883f-0016d3cca427"_s), alice}));
    }

    void tapsReachTheHandlerOnTheMainThreadAndAlwaysComplete()
    {
        QList<Target> delivered;
        QThread *handlerThread = nullptr;
        auto router = std::make_unique<NotificationRouter>(this, [&](const Target &target) {
            delivered.append(target);
            handlerThread = QThread::currentThread();
        });

        int completions = 0;
        const QVariantMap ownerless{{u"quorvane_event_id"_s, QUuid::createUuid().toString(QUuid::WithoutBraces)}};
        router->didReceiveResponse(ownerless, [&] { ++completions; });
        QCOMPARE(completions, 1);

        // Answered from another thread, as the notification layer may; delivered on ours later,
        // after the router itself is gone.
        const Target target = tap(alice);
        const QVariantMap userInfo = userInfoOf(target);
        QThread *caller = QThread::create([&] { router->didReceiveResponse(userInfo, [&] { ++completions; }); });
        caller->start();
        QVERIFY(caller->wait(5000));
        delete caller;
        QCOMPARE(completions, 2);
        QVERIFY(delivered.isEmpty());
        router.reset();

        QTRY_COMPARE(delivered, QList<Target>{target});
        QCOMPARE(handlerThread, QThread::currentThread());
    }

    void tapQueuedForAGoneReceiverIsDropped()
    {
        int delivered = 0;
        auto receiver = std::make_unique<QObject>();
        const NotificationRouter router(receiver.get(), [&](const Target &) { ++delivered; });
        const Target target = tap(alice);
        router.didReceiveResponse(userInfoOf(target), [] {});
        receiver.reset();

        // A tap for a live receiver, sent after, arrives: the first one had its chance by then.
        QObject live;
        const NotificationRouter other(&live, [&](const Target &) { delivered += 10; });
        other.didReceiveResponse(userInfoOf(target), [] {});
        QTRY_COMPARE(delivered, 10);
    }
};

QTEST_GUILESS_MAIN(tst_NotificationTargetQueue)
#include "tst_NotificationTargetQueue.moc"
