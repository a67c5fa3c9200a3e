// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "FakeSchedulingContext.h"
#include "ScheduleHarness.h"
#include "scheduling/SchedulePublishScreen.h"

#include <QTest>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;
using Session = AccountModel::SessionKind;
using CloudState = ScheduleStore::CloudState;

Q_DECLARE_METATYPE(ScheduleOperationOutcome)

namespace {

const QTimeZone losAngeles("America/Los_Angeles");

QDateTime la(int month, int day, int hour, int minute)
{
    return QDateTime(QDate(2026, month, day), QTime(hour, minute), losAngeles);
}

/// A screen over a real schedule store (no backend client: cloud scheduling never gets ready)
/// and the fake surroundings.
struct Screen
{
    ScheduleHarness harness;
    ManualDelay delay;
    FakeSchedulingContext context;
    ScheduleStore &store;
    std::unique_ptr<SchedulePublishScreen> screen;

    explicit Screen(bool localOnly = false)
        : store(harness.makeStore(localOnly))
    {
        screen = std::make_unique<SchedulePublishScreen>(store, context, delay.delay());
    }
    ~Screen() { screen.reset(); }

    [[nodiscard]] QStringList rowNames() const
    {
        QStringList names;
        for (const ScheduleQueueModel::Row &row : screen->queue()->rows())
            names.append(row.schedule.siteName);
        return names;
    }
    [[nodiscard]] bool presented(const QUuid &id) const
    {
        for (const ScheduleQueueModel::Row &row : screen->queue()->rows()) {
            if (row.schedule.id == id)
                return row.presented;
        }
        return false;
    }
};

SiteRecord acmeSite()
{
    SiteRecord site;
    site.id = u"acme"_s;
    site.name = u"Acme"_s;
    return site;
}

QString idText(const ScheduledPublish &schedule)
{
    return schedule.id.toString(QUuid::WithoutBraces);
}

} // namespace

// The Scheduled Publishing screen: queue order and filtering, the banners and the card actions,
// over a real schedule store.
class tst_SchedulePublishScreen : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        // The store's own time texts read the process's zone and locale.
        qputenv("TZ", "America/Los_Angeles");
        QLocale::setDefault(QLocale(u"en_US"_s));
    }

    void queueOrder_data()
    {
        QTest::addColumn<bool>("soonestFirst");
        QTest::addColumn<QStringList>("order");
        QTest::newRow("sooner first keeps the store's order") << true << QStringList{u"Nine"_s, u"Ten A"_s, u"Ten B"_s};
        QTest::newRow("later first reverses equal times too") << false << QStringList{u"Ten B"_s, u"Ten A"_s, u"Nine"_s};
    }

    void queueOrder()
    {
        QFETCH(bool, soonestFirst);
        QFETCH(QStringList, order);
        Screen bench;
        bench.store.setSchedules({ScheduleSamples::queuedPublish(u"a"_s, u"Nine"_s, la(6, 4, 9, 0)), ScheduleSamples::queuedPublish(u"b"_s, u"Ten A"_s, la(6, 4, 10, 0)),
                                  ScheduleSamples::queuedPublish(u"c"_s, u"Ten B"_s, la(6, 4, 10, 0))});
        bench.screen->setSoonestFirst(soonestFirst);
        QCOMPARE(bench.rowNames(), order);
        QCOMPARE(bench.screen->queue()->count(), 3);
    }

    void cloudBanner_data()
    {
        QTest::addColumn<CloudState>("cloudState");
        QTest::addColumn<Session>("session");
        QTest::addColumn<bool>("hasProfile");
        QTest::addColumn<bool>("dismissed");
        QTest::addColumn<bool>("presented");
        QTest::addColumn<QString>("heading");
        QTest::addColumn<QString>("link");
        QTest::addColumn<QString>("detail");
        const QString stillFire = u"Publishes already scheduled still fire from the cloud. "_s;
        QTest::newRow("checking") << CloudState::Checking << Session::Checking << false << false << true << QString()
                                  << QString() << QString();
        QTest::newRow("cloud") << CloudState::Cloud << Session::Authenticated << true << false << true
                               << u"Cloud scheduling"_s << u"Got it"_s
                               << u"Publishes fire from our servers, so your computer doesn't need to be on."_s;
        QTest::newRow("cloud, dismissed") << CloudState::Cloud << Session::Authenticated << true << true << false
                                          << u"Cloud scheduling"_s << u"Got it"_s
                                          << u"Publishes fire from our servers, so your computer doesn't need to be on."_s;
        QTest::newRow("signed out with a profile") << CloudState::Local << Session::ReauthenticationRequired << true << true
                                                   << true << u"Sign in again"_s << u"Sign In Again"_s
                                                   << stillFire + u"This computer needs a new sign-in to schedule or cancel."_s;
        QTest::newRow("signed out without one") << CloudState::Local << Session::SignedOut << false << false << true
                                                << u"Signed out"_s << u"Sign In"_s
                                                << stillFire + u"Sign in to schedule new ones or cancel existing ones."_s;
        for (Session session : {Session::Authenticated, Session::Checking, Session::TemporarilyUnavailable}) {
            QTest::addRow("unreachable, session %d", int(session))
                << CloudState::Local << session << true << true << true << u"Cloud unreachable"_s << QString()
                << stillFire + u"New schedules and cancellations can't be saved until it's back."_s;
        }
    }

    void cloudBanner()
    {
        QFETCH(CloudState, cloudState);
        QFETCH(Session, session);
        QFETCH(bool, hasProfile);
        QFETCH(bool, dismissed);
        QFETCH(bool, presented);
        QFETCH(QString, heading);
        QFETCH(QString, link);
        QFETCH(QString, detail);
        Screen bench;
        bench.context.session = session;
        bench.context.profile = hasProfile;
        bench.context.bannerDismissed = dismissed;
        bench.store.setCloudState(cloudState);
        QCOMPARE(bench.screen->cloudBannerPresented(), presented);
        QCOMPARE(bench.screen->cloudBanner().heading, heading);
        QCOMPARE(bench.screen->cloudBanner().linkLabel, link);
        QCOMPARE(bench.screen->cloudBanner().detail, detail);
        QCOMPARE(bench.screen->cloudBannerMap().isEmpty(), heading.isEmpty());
    }

    void cloudBannerLinks()
    {
        Screen bench;
        bench.store.setCloudState(CloudState::Cloud);
        bench.screen->followCloudBannerLink();
        QVERIFY(bench.context.bannerDismissed);
        QVERIFY(!bench.screen->cloudBannerPresented());
        // Back to local: the dismissal does not hide the other cards.
        bench.context.session = Session::SignedOut;
        bench.store.setCloudState(CloudState::Local);
        QVERIFY(bench.screen->cloudBannerPresented());
        bench.screen->followCloudBannerLink();
        QCOMPARE(bench.context.signInReasons, QStringList{SchedulePublishScreen::signInReason});
    }

    void attention_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("heading");
        QTest::newRow("one") << 1 << u"A scheduled publish didn't go out"_s;
        QTest::newRow("three") << 3 << u"3 scheduled publishes didn't go out"_s;
    }

    void attention()
    {
        QFETCH(int, count);
        QFETCH(QString, heading);
        Screen bench;
        QList<PublishAttention> items;
        for (int i = 1; i <= count; ++i)
            items.append({QUuid::createUuid(), u"failed"_s, u"Message %1"_s.arg(i), la(6, 3, 9, i)});
        bench.store.setAttention(items);
        QVERIFY(bench.screen->showsAttention());
        QCOMPARE(bench.screen->attentionHeading(), heading);
        QCOMPARE(bench.screen->attentionDetail(), u"Message 1"_s);
        bench.screen->showAttentionDetails();
        const ConfirmRequest &details = bench.context.presented.last();
        QCOMPARE(details.title, u"What happened"_s);
        QCOMPARE(details.message, count == 1 ? u"Message 1"_s : u"Message 1\n\nMessage 2\n\nMessage 3"_s);
        QCOMPARE(details.confirmLabel, u"Got It"_s);
        QVERIFY(details.isNotice);
        bench.context.confirmLatest();
        QVERIFY(!bench.screen->showsAttention());
    }

    void syncAndCacheBanners()
    {
        Screen bench;
        bench.store.setSyncError(u"Couldn't reach the cloud."_s);
        bench.store.setPersistenceIssue(u"The cache couldn't be saved."_s);
        QCOMPARE(bench.screen->syncError(), u"Couldn't reach the cloud."_s);
        QCOMPARE(bench.screen->persistenceIssue(), u"The cache couldn't be saved."_s);
    }

    void cancel_data()
    {
        QTest::addColumn<bool>("localOnly");
        QTest::addColumn<bool>("kept");
        QTest::newRow("the store drops it") << true << false;
        QTest::newRow("a refused cancel brings it back") << false << true;
    }

    void cancel()
    {
        QFETCH(bool, localOnly);
        QFETCH(bool, kept);
        Screen bench(localOnly);
        const ScheduledPublish acme = ScheduleSamples::queuedPublish(u"acme"_s, u"Acme"_s, la(6, 4, 9, 0));
        bench.store.setSchedules({acme});
        bench.screen->confirmCancel(idText(acme));
        const ConfirmRequest &request = bench.context.presented.last();
        QCOMPARE(request.title, u"Cancel this publish?"_s);
        QCOMPARE(request.message, u"Acme will no longer publish on Thu, Jun 4, 2026 · 9:00 AM PDT. The site itself is untouched."_s);
        QCOMPARE(request.cancelLabel, u"Keep It"_s);
        QVERIFY(request.isDestructive);
        QVERIFY(bench.presented(acme.id));
        bench.context.confirmLatest();
        // The card fades at once; the store hears of it only once the card has gone.
        QVERIFY(!bench.presented(acme.id));
        bench.delay.advance(393ms);
        QCOMPARE(bench.store.schedules().size(), 1);
        QVERIFY(bench.store.syncErrorText().isEmpty());
        bench.delay.advance(1ms);
        QCOMPARE(bench.store.schedules().size(), kept ? 1 : 0);
        QVERIFY(bench.screen->removingIDs().isEmpty());
        QCOMPARE(bench.screen->queue()->count(), kept ? 1 : 0);
        if (kept) {
            QVERIFY(bench.presented(acme.id));
            QCOMPARE(bench.screen->syncError(),
                     u"Couldn't cancel because cloud scheduling has not initialized. The publish was kept."_s);
        }
    }

    void publishNow_data()
    {
        QTest::addColumn<ScheduleOperationOutcome>("outcome");
        QTest::addColumn<QString>("notice");
        QTest::newRow("accepted shows nothing") << ScheduleOperationOutcome::accepted() << QString();
        QTest::newRow("a running publish") << ScheduleOperationOutcome::publishing() << u"A publish is already running"_s;
        QTest::newRow("refused") << ScheduleOperationOutcome::refused(u"No."_s) << u"Publish not scheduled"_s;
    }

    void publishNow()
    {
        QFETCH(ScheduleOperationOutcome, outcome);
        QFETCH(QString, notice);
        Screen bench;
        bench.context.finalOutcome = outcome;
        const ScheduledPublish acme = ScheduleSamples::queuedPublish(u"acme"_s, u"Acme"_s, la(6, 4, 9, 0));
        bench.store.setSchedules({acme});
        bench.screen->confirmPublishNow(idText(acme));
        const ConfirmRequest &request = bench.context.presented.last();
        QCOMPARE(request.title, u"Publish Acme now?"_s);
        QCOMPARE(request.message, u"Fires within the next minute instead of Thu, Jun 4, 2026 · 9:00 AM PDT.\n\n"
                                  u"Domains: acme.com, acme.webflow.io"_s);
        QCOMPARE(request.confirmLabel, u"Publish Now"_s);
        const qsizetype asked = bench.context.presented.size();
        bench.context.confirmLatest();
        QCOMPARE(bench.context.replaced.size(), 1);
        ScheduledPublish sent = bench.context.replaced.first();
        QVERIFY(sent.id != acme.id);
        QCOMPARE(sent.publishAt, bench.context.time.now);
        sent.id = acme.id;
        sent.publishAt = acme.publishAt;
        QCOMPARE(sent, acme);
        if (notice.isEmpty()) {
            QCOMPARE(bench.context.presented.size(), asked);
            return;
        }
        QCOMPARE(bench.context.presented.last().title, notice);
        QCOMPARE(bench.context.presented.last().confirmLabel, u"OK"_s);
        QVERIFY(bench.context.presented.last().isNotice);
    }

    void rescheduleHidesTheQueuedPublish_data()
    {
        QTest::addColumn<bool>("siteKnown");
        QTest::newRow("site in the directory") << true;
        QTest::newRow("site unknown: it stays listed") << false;
    }

    void rescheduleHidesTheQueuedPublish()
    {
        QFETCH(bool, siteKnown);
        Screen bench;
        const ScheduledPublish acme = ScheduleSamples::queuedPublish(u"acme"_s, u"Acme"_s, la(6, 4, 9, 0));
        const ScheduledPublish beta = ScheduleSamples::queuedPublish(u"beta"_s, u"Beta"_s, la(6, 5, 9, 0));
        if (siteKnown)
            bench.context.sites.insert(u"acme"_s, acmeSite());
        bench.store.setSchedules({acme, beta});
        bench.screen->beginReschedule(idText(acme));
        QVERIFY(bench.screen->holdNoticePresented());
        const QStringList listed = siteKnown ? QStringList{u"Beta"_s} : QStringList{u"Acme"_s, u"Beta"_s};
        QCOMPARE(bench.rowNames(), listed);
        bench.screen->form()->setShowingForm(false);
        QVERIFY(!bench.screen->holdNoticePresented());
        QCOMPARE(bench.rowNames(), (QStringList{u"Acme"_s, u"Beta"_s}));
    }

    void missingAccess()
    {
        Screen bench;
        const ScheduledPublish acme = ScheduleSamples::queuedPublish(u"acme"_s, u"Acme"_s, la(6, 4, 9, 0));
        bench.store.setSchedules({acme});
        // Still loading: no card warns.
        bench.context.settled = false;
        emit bench.context.changed();
        QVERIFY(!bench.screen->queue()->rows().first().needsPublishing);
        bench.context.settled = true;
        emit bench.context.changed();
        QVERIFY(bench.screen->queue()->rows().first().needsPublishing);

        Project project;
        project.title = u"Acme"_s;
        project.mcpName = u"webflow-acme"_s;
        project.siteId = u"acme"_s;
        bench.context.projectList = {{project, std::nullopt}};
        bench.screen->confirmConnectPublishing(idText(acme));
        QCOMPARE(bench.context.presented.last().title, u"Publishing access is missing for Acme"_s);
        QCOMPARE(bench.context.presented.last().message,
                 u"This publish is scheduled for Jun 4 · 9:00 AM, but the site's publishing access isn't connected, "
                 u"so it will fail. Connect publishing now?"_s);
        bench.context.confirmLatest();
        QCOMPARE(bench.context.connects.size(), 1);
        QCOMPARE(bench.context.connects.first().mcpName, std::optional(u"webflow-acme"_s));
        QCOMPARE(bench.context.connects.first().siteID, std::optional(u"acme"_s));

        // Recovery attempts waiting: the reset is offered instead.
        bench.context.recoveryAttempts = true;
        bench.screen->confirmConnectPublishing(idText(acme));
        QCOMPARE(bench.context.resetOffers, 1);
    }

    void preselection_data()
    {
        QTest::addColumn<QString>("siteID");
        QTest::addColumn<bool>("queuedAlready");
        QTest::addColumn<bool>("consumed");
        QTest::addColumn<bool>("opens");
        QTest::newRow("none: no callback") << QString() << false << false << false;
        QTest::newRow("unknown site") << u"nowhere"_s << false << true << false;
        QTest::newRow("already queued") << u"acme"_s << true << true << false;
        QTest::newRow("opens on the site") << u"acme"_s << false << true << true;
    }

    void preselection()
    {
        QFETCH(QString, siteID);
        QFETCH(bool, queuedAlready);
        QFETCH(bool, consumed);
        QFETCH(bool, opens);
        Screen bench;
        bench.context.sites.insert(u"acme"_s, acmeSite());
        bench.context.access.insert(u"acme"_s);
        if (queuedAlready)
            bench.context.queue = {ScheduleSamples::queuedPublish(u"acme"_s, u"Acme"_s, la(6, 4, 9, 0))};
        QCOMPARE(bench.screen->applyPreselection(siteID), consumed);
        QCOMPARE(bench.screen->form()->showingForm(), opens);
        if (opens) {
            QVERIFY(bench.screen->form()->selectedDomainIDs().isEmpty());
            QVERIFY(!bench.screen->form()->submitEnabled());
        }
    }

    void cardState_data()
    {
        QTest::addColumn<std::optional<QString>>("cloudStatus");
        QTest::addColumn<bool>("needsPublishing");
        QTest::addColumn<bool>("running");
        QTest::addColumn<QString>("trashHelp");
        QTest::addColumn<QString>("menuHelp");
        const QString idleTrash = u"Cancel this publish"_s;
        const QString runningTrash = u"This publish is already running and can no longer be cancelled"_s;
        QTest::newRow("no status") << std::optional<QString>() << false << false << idleTrash << u"Publish settings"_s;
        QTest::newRow("scheduled, missing access") << std::optional(u"scheduled"_s) << true << false << idleTrash
                                                   << u"Publish settings"_s;
        QTest::newRow("other letter case") << std::optional(u"Publishing"_s) << false << false << idleTrash
                                           << u"Publish settings"_s;
        QTest::newRow("publishing") << std::optional(u"publishing"_s) << false << true << runningTrash
                                    << u"This publish is running"_s;
        QTest::newRow("publishing, missing access") << std::optional(u"publishing"_s) << true << true << runningTrash
                                                    << u"This publish is running"_s;
    }

    void cardState()
    {
        QFETCH(std::optional<QString>, cloudStatus);
        QFETCH(bool, needsPublishing);
        QFETCH(bool, running);
        QFETCH(QString, trashHelp);
        QFETCH(QString, menuHelp);
        ScheduledPublish schedule = ScheduleSamples::queuedPublish(u"acme"_s, u"Acme"_s, la(6, 4, 9, 0));
        schedule.cloudStatus = cloudStatus;
        const ScheduleCardState state = ScheduleQueueRules::cardState(schedule, needsPublishing);
        QCOMPARE(state, (ScheduleCardState{running, !running, trashHelp, menuHelp, needsPublishing}));
    }
};

QTEST_GUILESS_MAIN(tst_SchedulePublishScreen)
#include "tst_SchedulePublishScreen.moc"
