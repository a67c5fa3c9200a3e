// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "FakeSchedulingContext.h"
#include "scheduling/ScheduleFormController.h"

#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(ScheduleOperationOutcome)

namespace {

const QTimeZone losAngeles("America/Los_Angeles");

QDateTime la(int month, int day, int hour, int minute, int second = 0)
{
    return QDateTime(QDate(2026, month, day), QTime(hour, minute, second), losAngeles);
}

SiteRecord siteRecord(const QString &id, const QString &name, std::optional<QString> shortName = std::nullopt)
{
    SiteRecord site;
    site.id = id;
    site.name = name;
    site.shortName = std::move(shortName);
    return site;
}

ProjectSite entry(const QString &title, const QString &mcpName, std::optional<SiteRecord> site)
{
    Project project;
    project.id = QUuid::createUuid();
    project.title = title;
    project.mcpName = mcpName;
    return {project, std::move(site)};
}

const PublishDomain production{u"d-prod"_s, u"acme.com"_s, false};
const PublishDomain www{u"d-www"_s, u"www.acme.com"_s, false};
const PublishDomain staging{u"d-stage"_s, u"acme.webflow.io"_s, true};

/// A form over a context with the site "acme" (Acme) of project "Acme" with access and domains.
struct Bench
{
    FakeSchedulingContext context;
    ScheduleFormController form{context};
    SiteRecord acme = siteRecord(u"acme"_s, u"Acme"_s, u"acme"_s);

    Bench()
    {
        context.projectList = {entry(u"Acme"_s, u"webflow-acme"_s, acme)};
        context.sites.insert(acme.id, acme);
        context.access.insert(acme.id);
        context.domainMap.insert(acme.id, {production, staging});
        context.snapshot = CloudAuthSnapshot{QUuid::createUuid(), 1};
    }

    /// The form open on Acme with its first domain ticked, as choosing it from the menu does.
    void openOnAcme()
    {
        form.setShowingForm(true);
        form.chooseSiteMenuItem(0);
    }

    /// Presses submit and confirms.
    void submit()
    {
        const int before = int(context.presented.size());
        form.confirmSchedule();
        QCOMPARE(context.presented.size(), before + 1);
        QCOMPARE(context.presented.last().title, u"Schedule this publish?"_s);
        context.confirmLatest();
    }
};

} // namespace

// The schedule form against a fake store and surroundings: its wording, its target rules and the
// whole submission with its late and stale results.
class tst_ScheduleForm : public QObject
{
    Q_OBJECT

private slots:
    void title_data()
    {
        QTest::addColumn<bool>("withSite");
        QTest::addColumn<QStringList>("ticked");
        QTest::addColumn<QString>("title");
        QTest::newRow("production") << true << QStringList{u"d-prod"_s, u"d-stage"_s}
                                    << u"Scheduling a Publish of Acme to production on Jun 3, 11:05 AM, PDT"_s;
        QTest::newRow("staging") << true << QStringList{u"d-stage"_s}
                                 << u"Scheduling a Publish of Acme to staging on Jun 3, 11:05 AM, PDT"_s;
        QTest::newRow("nothing ticked") << true << QStringList{}
                                        << u"Scheduling a Publish of Acme on Jun 3, 11:05 AM, PDT"_s;
        QTest::newRow("only a tick the site no longer has") << true << QStringList{u"d-gone"_s}
                                                            << u"Scheduling a Publish of Acme on Jun 3, 11:05 AM, PDT"_s;
        QTest::newRow("no site") << false << QStringList{} << u"Scheduling a Publish of…"_s;
    }

    void title()
    {
        QFETCH(bool, withSite);
        QFETCH(QStringList, ticked);
        QFETCH(QString, title);
        Bench bench;
        bench.form.setShowingForm(true);
        if (withSite)
            bench.form.setSelectedSite(bench.acme);
        for (const PublishDomain &domain : {production, staging})
            bench.form.setDomainTicked(domain.id, false);
        for (const QString &id : ticked)
            bench.form.setDomainTicked(id, true);
        QCOMPARE(bench.form.title(), title);
        QCOMPARE(bench.form.submitEnabled(), !bench.form.targets().isEmpty());
        QCOMPARE(bench.form.timeZoneLabel(), u"America/Los_Angeles (PDT)"_s);
    }

    void confirmationMessage_data()
    {
        QTest::addColumn<bool>("paranoid");
        QTest::addColumn<bool>("cloud");
        QTest::addColumn<QString>("message");
        const QString head = u"Acme will publish on Wed, Jun 3, 2026 · 11:05 AM PDT.\n\n"
                             u"Time zone: America/Los_Angeles (PDT)\nDomains: acme.com, acme.webflow.io"_s;
        QTest::newRow("both notes") << true << true
                                    << head + u"\n\nParanoid mode: skips automatically if the site changes first.\n"
                                              u"Runs in the cloud, so your computer doesn't need to be on."_s;
        QTest::newRow("paranoid only") << true << false
                                       << head + u"\n\nParanoid mode: skips automatically if the site changes first."_s;
        QTest::newRow("cloud only") << false << true
                                    << head + u"\n\nRuns in the cloud, so your computer doesn't need to be on."_s;
        QTest::newRow("no notes") << false << false << head;
    }

    void confirmationMessage()
    {
        QFETCH(bool, paranoid);
        QFETCH(bool, cloud);
        QFETCH(QString, message);
        Bench bench;
        bench.context.cloud = cloud;
        bench.openOnAcme();
        bench.form.setDomainTicked(staging.id, true);
        bench.form.setSkipIfChanged(paranoid);
        bench.form.confirmSchedule();
        QCOMPARE(bench.context.presented.size(), 1);
        const ConfirmRequest &request = bench.context.presented.first();
        QCOMPARE(request.message, message);
        QCOMPARE(request.confirmLabel, u"Schedule Publish"_s);
        QCOMPARE(request.icon, u"calendar-schedule"_s);
        QVERIFY(!request.isNotice);
        QVERIFY(bench.context.replaced.isEmpty());
    }

    void siteMenu()
    {
        Bench bench;
        const SiteRecord busy = siteRecord(u"busy"_s, u"Busy site"_s, u"busy"_s);
        bench.context.projectList = {entry(u"zeta"_s, u"webflow-zeta"_s, std::nullopt),
                                     entry(u"Busy"_s, u"webflow-busy"_s, busy),
                                     entry(u"acme"_s, u"webflow-acme"_s, bench.acme),
                                     entry(u"Beta"_s, u"webflow-beta"_s, std::nullopt)};
        bench.context.queue = {ScheduledPublish{QUuid::createUuid(), u"webflow-busy"_s, u"busy"_s, u"Busy site"_s,
                                                la(6, 4, 9, 0), u"America/Los_Angeles"_s, {}, false, std::nullopt,
                                                la(6, 1, 9, 0), std::nullopt}};
        const QList<SiteMenuItem> items = bench.form.siteMenuItems();
        QStringList titles;
        QList<bool> enabled;
        for (const SiteMenuItem &item : items) {
            titles.append(item.title);
            enabled.append(item.enabled);
        }
        QCOMPARE(titles, (QStringList{u"acme"_s, u"Beta"_s, u"Busy · scheduled"_s, u"zeta"_s}));
        QCOMPARE(enabled, (QList<bool>{true, true, false, true}));

        bench.form.setShowingForm(true);
        bench.form.chooseSiteMenuItem(2);
        QVERIFY(!bench.form.hasSite());
        QVERIFY(bench.context.presented.isEmpty());

        // A project without a site record is verified first, then its site is scheduled.
        bench.context.verificationFinds = std::pair(bench.context.projectList[3].project.id, bench.acme);
        bench.form.chooseSiteMenuItem(1);
        QCOMPARE(bench.context.presented.last().title, u"Verify Beta for scheduling?"_s);
        QCOMPARE(bench.context.presented.last().confirmLabel, u"Continue"_s);
        bench.context.confirmLatest();
        QCOMPARE(bench.context.verified, QStringList{u"webflow-beta"_s});
        QCOMPARE(bench.form.selectedSite(), std::optional(bench.acme));
    }

    void targets_data()
    {
        QTest::addColumn<QList<PublishDomain>>("stored");
        QTest::addColumn<std::optional<QString>>("shortName");
        QTest::addColumn<QStringList>("urls");
        QTest::addColumn<QStringList>("tickedOnChoosing");
        QTest::addColumn<bool>("saysWhy");
        QTest::newRow("stored domains, first ticked") << QList<PublishDomain>{www, staging} << std::optional<QString>(u"acme"_s)
                                                      << QStringList{u"www.acme.com"_s, u"acme.webflow.io"_s}
                                                      << QStringList{u"d-www"_s} << false;
        QTest::newRow("staging from the short name") << QList<PublishDomain>{} << std::optional<QString>(u"acme-studio"_s)
                                                     << QStringList{u"acme-studio.webflow.io"_s}
                                                     << QStringList{u"staging"_s} << false;
        QTest::newRow("no short name, no fallback") << QList<PublishDomain>{} << std::optional<QString>()
                                                    << QStringList{} << QStringList{} << true;
        QTest::newRow("blank short name, no fallback") << QList<PublishDomain>{} << std::optional<QString>(u" "_s)
                                                       << QStringList{} << QStringList{} << true;
    }

    void targets()
    {
        QFETCH(QList<PublishDomain>, stored);
        QFETCH(std::optional<QString>, shortName);
        QFETCH(QStringList, urls);
        QFETCH(QStringList, tickedOnChoosing);
        QFETCH(bool, saysWhy);
        Bench bench;
        // The connection's name must not make a staging address: only the short name does.
        SiteRecord site = siteRecord(u"acme"_s, u"Acme"_s, shortName);
        site.connections = {u"webflow-other-name"_s};
        bench.context.projectList = {entry(u"Acme"_s, u"webflow-client-label"_s, site)};
        bench.context.domainMap.insert(site.id, stored);
        bench.openOnAcme();
        QStringList shown;
        for (const PublishDomain &domain : bench.form.domains())
            shown.append(domain.url);
        QCOMPARE(shown, urls);
        QStringList ticked = bench.form.selectedDomainIDs().values();
        ticked.sort();
        QCOMPARE(ticked, tickedOnChoosing);
        QCOMPARE(bench.form.submitEnabled(), !urls.isEmpty());
        QCOMPARE(bench.form.targetsNote().isEmpty(), !saysWhy);
        // A draft names the project's connection whatever the targets are.
        QCOMPARE(bench.form.makeDraft()->connectionName, u"webflow-client-label"_s);
    }

    // Ticks of domains the site no longer lists are dropped when the domains change, so the
    // submit button never enables a publish without targets.
    void ticksFollowTheSiteDomains()
    {
        Bench bench;
        bench.openOnAcme();
        QCOMPARE(bench.form.selectedDomainIDs(), QSet<QString>{production.id});
        QVERIFY(bench.form.submitEnabled());
        bench.context.domainMap.insert(bench.acme.id, {www});
        emit bench.context.changed();
        QVERIFY(bench.form.selectedDomainIDs().isEmpty());
        QVERIFY(!bench.form.submitEnabled());
        bench.form.confirmSchedule();
        QVERIFY(bench.context.presented.isEmpty());
    }

    void paranoidAvailability()
    {
        Bench bench;
        const SiteRecord other = siteRecord(u"other"_s, u"Other"_s, u"other"_s);
        bench.context.sites.insert(other.id, other);
        bench.openOnAcme();
        bench.form.setSkipIfChanged(true);
        QVERIFY(bench.form.paranoidModeAvailable());
        // Another site with access keeps the switch; one without turns it off.
        bench.context.access.insert(other.id);
        bench.form.setSelectedSite(other);
        QVERIFY(bench.form.skipIfChanged());
        bench.context.access.remove(other.id);
        bench.form.setSelectedSite(bench.acme);
        bench.context.access.remove(bench.acme.id);
        bench.form.setSelectedSite(other);
        QVERIFY(!bench.form.skipIfChanged());
        QVERIFY(!bench.form.paranoidModeAvailable());
    }

    void leadTime_data()
    {
        QTest::addColumn<qint64>("aheadSeconds");
        QTest::addColumn<bool>("waitOnConfirmation");
        QTest::addColumn<bool>("proceeds");
        QTest::newRow("300 s ahead proceeds") << qint64(300) << false << true;
        QTest::newRow("299 s ahead moves") << qint64(299) << false << false;
        QTest::newRow("too close after waiting on the confirmation") << qint64(400) << true << false;
    }

    void leadTime()
    {
        QFETCH(qint64, aheadSeconds);
        QFETCH(bool, waitOnConfirmation);
        QFETCH(bool, proceeds);
        Bench bench;
        bench.openOnAcme();
        bench.form.setPublishAt(bench.context.time.now.addSecs(aheadSeconds));
        bench.form.confirmSchedule();
        if (waitOnConfirmation) {
            QCOMPARE(bench.context.presented.last().title, u"Schedule this publish?"_s);
            bench.context.time.now = bench.context.time.now.addSecs(150);
            bench.context.confirmLatest();
        } else if (proceeds) {
            bench.context.confirmLatest();
        }
        if (proceeds) {
            QCOMPARE(bench.context.replaced.size(), 1);
            return;
        }
        QVERIFY(bench.context.replaced.isEmpty());
        const QDateTime moved = waitOnConfirmation ? la(6, 3, 10, 9) : la(6, 3, 10, 6);
        QCOMPARE(bench.form.publishAt(), moved);
        const ConfirmRequest &notice = bench.context.presented.last();
        QCOMPARE(notice.title, u"That time is no longer available"_s);
        QCOMPARE(notice.message, u"It was too close to now, so it's now set for Wed, Jun 3, 2026 · 10:0"_s
                                     + QString::number(moved.toTimeZone(losAngeles).time().minute() % 10)
                                     + u" AM PDT. Review it and schedule again."_s);
        QCOMPARE(notice.confirmLabel, u"Back to editing"_s);
        QVERIFY(notice.isNotice);
        QVERIFY(!bench.form.submissionInProgress());
    }

    void outcomes_data()
    {
        QTest::addColumn<ScheduleOperationOutcome>("outcome");
        QTest::addColumn<bool>("closes");
        QTest::addColumn<QString>("heading");
        QTest::addColumn<bool>("canRefresh");
        QTest::newRow("accepted closes and resets") << ScheduleOperationOutcome::accepted() << true << QString() << false;
        QTest::newRow("refused") << ScheduleOperationOutcome::refused(u"Cloud scheduling isn't ready."_s) << false
                                 << u"Publish not scheduled"_s << false;
        QTest::newRow("ambiguous") << ScheduleOperationOutcome::ambiguous() << false << u"Schedule not confirmed"_s << true;
        QTest::newRow("pending") << ScheduleOperationOutcome::pending() << false << u"Schedule not confirmed"_s << true;
        QTest::newRow("publishing") << ScheduleOperationOutcome::publishing() << false
                                    << u"A publish is already running"_s << true;
    }

    void outcomes()
    {
        QFETCH(ScheduleOperationOutcome, outcome);
        QFETCH(bool, closes);
        QFETCH(QString, heading);
        QFETCH(bool, canRefresh);
        Bench bench;
        bench.context.finalOutcome = outcome;
        bench.openOnAcme();
        bench.form.setDomainTicked(staging.id, true);
        bench.submit();
        QCOMPARE(bench.context.replaced.size(), 1);
        QVERIFY(!bench.form.submissionInProgress());
        QCOMPARE(bench.form.showingForm(), !closes);
        if (closes) {
            QVERIFY(!bench.form.hasSite());
            QVERIFY(bench.form.selectedDomainIDs().isEmpty());
            QVERIFY(!bench.form.hasError());
            QVERIFY(!bench.form.activeSubmissionID());
            QCOMPARE(bench.form.publishAt(), la(6, 3, 11, 5));
            return;
        }
        QCOMPARE(bench.form.errorHeading(), heading);
        QCOMPARE(bench.form.errorCanRefresh(), canRefresh);
        // The user's choices stay.
        QCOMPARE(bench.form.selectedDomainIDs(), (QSet<QString>{production.id, staging.id}));
        QCOMPARE(bench.form.selectedSite(), std::optional(bench.acme));
    }

    void refreshSettlesAnUncertainOutcome_data()
    {
        QTest::addColumn<std::optional<ScheduleOperationOutcome>>("afterRefresh");
        QTest::addColumn<bool>("forget");
        QTest::addColumn<bool>("closes");
        QTest::addColumn<QString>("heading");
        QTest::newRow("found accepted") << std::optional(ScheduleOperationOutcome::accepted()) << false << true << QString();
        QTest::newRow("still unsettled") << std::optional<ScheduleOperationOutcome>() << false << false
                                         << u"Schedule not confirmed"_s;
        QTest::newRow("store holds no status") << std::optional<ScheduleOperationOutcome>() << true << false
                                               << u"Schedule not confirmed"_s;
        QTest::newRow("found absent") << std::optional(ScheduleOperationOutcome::confirmedAbsent()) << false << false
                                      << u"Publish not scheduled"_s;
    }

    void refreshSettlesAnUncertainOutcome()
    {
        QFETCH(std::optional<ScheduleOperationOutcome>, afterRefresh);
        QFETCH(bool, forget);
        QFETCH(bool, closes);
        QFETCH(QString, heading);
        Bench bench;
        bench.context.finalOutcome = ScheduleOperationOutcome::ambiguous();
        bench.openOnAcme();
        bench.submit();
        QVERIFY(bench.form.errorCanRefresh());
        bench.context.outcomeAfterRefresh = afterRefresh;
        bench.context.forgetAtRefresh = forget;
        bench.context.refreshGate.closed = true;
        bench.form.refreshUncertainOutcome();
        // While it runs the card stays and nothing more can start.
        QVERIFY(bench.form.submissionInProgress());
        QCOMPARE(bench.form.errorHeading(), u"Schedule not confirmed"_s);
        QVERIFY(!bench.form.sitePillEnabled());
        QVERIFY(!bench.form.submitEnabled());
        bench.form.refreshUncertainOutcome();
        QCOMPARE(bench.context.refreshCount, 1);
        bench.context.refreshGate.open();
        QVERIFY(!bench.form.submissionInProgress());
        QCOMPARE(bench.form.showingForm(), !closes);
        QCOMPARE(bench.form.errorHeading(), heading);
    }

    void paranoidSubmission_data()
    {
        QTest::addColumn<bool>("paranoid");
        QTest::addColumn<std::optional<QDateTime>>("lastUpdated");
        QTest::addColumn<int>("fetches");
        QTest::addColumn<bool>("submitted");
        QTest::addColumn<QString>("notice");
        const QDateTime edited = la(6, 2, 17, 30);
        QTest::newRow("paranoid sends the baseline") << true << std::optional(edited) << 1 << true << QString();
        QTest::newRow("unreadable site state submits nothing") << true << std::optional<QDateTime>() << 1 << false
                                                               << u"Couldn't read the site's state"_s;
        QTest::newRow("no paranoid mode, no read") << false << std::optional(edited) << 0 << true << QString();
    }

    void paranoidSubmission()
    {
        QFETCH(bool, paranoid);
        QFETCH(std::optional<QDateTime>, lastUpdated);
        QFETCH(int, fetches);
        QFETCH(bool, submitted);
        QFETCH(QString, notice);
        Bench bench;
        bench.context.lastUpdated = lastUpdated;
        bench.openOnAcme();
        bench.form.setSkipIfChanged(paranoid);
        bench.submit();
        QCOMPARE(bench.context.fetchCount, fetches);
        QCOMPARE(bench.context.replaced.size(), submitted ? 1 : 0);
        QVERIFY(!bench.form.submissionInProgress());
        QVERIFY(!bench.form.hasError());
        if (submitted) {
            QCOMPARE(bench.context.replaced.first().skipIfChanged, paranoid);
            QCOMPARE(bench.context.replaced.first().baselineLastUpdated, paranoid ? lastUpdated : std::nullopt);
        } else {
            QCOMPARE(bench.context.presented.last().title, notice);
            QVERIFY(bench.context.presented.last().isNotice);
            QCOMPARE(bench.context.presented.last().confirmLabel, u"Back to editing"_s);
        }
    }

    // The account changed while paranoid mode read the site: nothing is sent, and the card says so.
    void accountChangeDuringTheSiteRead()
    {
        Bench bench;
        bench.context.lastUpdated = la(6, 2, 17, 30);
        bench.openOnAcme();
        bench.form.setSkipIfChanged(true);
        bench.context.fetchGate.closed = true;
        bench.submit();
        QVERIFY(bench.form.submissionInProgress());
        bench.context.snapshot = CloudAuthSnapshot{bench.context.snapshot->userID, 2};
        bench.context.fetchGate.open();
        QVERIFY(bench.context.replaced.isEmpty());
        QVERIFY(!bench.form.submissionInProgress());
        QCOMPARE(*bench.form.submissionError(), ScheduleFormController::accountChangedError);
        QVERIFY(!bench.form.errorCanRefresh());
    }

    // A submission that lost the form (closed, or replaced by a newer one) never changes "in
    // progress" or the error of the one that owns it now.
    void staleSubmissionsLeaveTheFormAlone_data()
    {
        QTest::addColumn<bool>("paranoid");
        QTest::newRow("held at the save") << false;
        QTest::newRow("held at the site read") << true;
    }

    void staleSubmissionsLeaveTheFormAlone()
    {
        QFETCH(bool, paranoid);
        Bench bench;
        bench.context.lastUpdated = la(6, 2, 17, 30);
        bench.context.finalOutcome = ScheduleOperationOutcome::refused(u"Refused."_s);
        // The old submission waits at one gate, the new one at the other.
        Gate &held = paranoid ? bench.context.fetchGate : bench.context.operationGate;
        Gate &holdsNewer = paranoid ? bench.context.operationGate : bench.context.fetchGate;
        held.closed = true;
        bench.openOnAcme();
        bench.form.setSkipIfChanged(paranoid);
        bench.submit();
        QVERIFY(bench.form.submissionInProgress());

        // Closing the form clears the active submission and with it "in progress".
        bench.form.setShowingForm(false);
        QVERIFY(!bench.form.submissionInProgress());
        QVERIFY(!bench.form.activeSubmissionID());

        holdsNewer.closed = true;
        bench.openOnAcme();
        bench.form.setSkipIfChanged(!paranoid);
        bench.submit();
        QVERIFY(bench.form.submissionInProgress());
        const auto newer = bench.form.activeSubmissionID();

        held.open();
        QVERIFY(bench.form.submissionInProgress());
        QVERIFY(!bench.form.hasError());
        QCOMPARE(bench.form.activeSubmissionID(), newer);
        // A second press while the new one runs starts nothing.
        const qsizetype sent = bench.context.replaced.size();
        bench.form.submitSchedule(*bench.form.makeDraft(), bench.acme);
        QCOMPARE(bench.context.replaced.size(), sent);
        QCOMPARE(bench.form.activeSubmissionID(), newer);
        holdsNewer.open();
        QVERIFY(!bench.form.submissionInProgress());
        QCOMPARE(bench.form.errorMessage(), u"Refused."_s);
    }

    void reschedule_data()
    {
        QTest::addColumn<QDateTime>("queuedAt");
        QTest::addColumn<QDateTime>("opensAt");
        QTest::newRow("due soon opens at the default time") << la(6, 3, 10, 20) << la(6, 3, 11, 5);
        QTest::newRow("due later keeps its time") << la(6, 6, 9, 0) << la(6, 6, 9, 0);
    }

    void reschedule()
    {
        QFETCH(QDateTime, queuedAt);
        QFETCH(QDateTime, opensAt);
        Bench bench;
        const ScheduledPublish queued{QUuid::createUuid(), u"webflow-acme"_s, u"acme"_s, u"Acme"_s, queuedAt,
                                      u"America/Los_Angeles"_s, {staging}, true, std::nullopt, la(6, 1, 9, 0),
                                      u"scheduled"_s};
        bench.form.beginReschedule(queued);
        QVERIFY(bench.form.showingForm());
        QVERIFY(bench.form.rescheduling());
        QCOMPARE(bench.form.publishAt(), opensAt);
        QCOMPARE(bench.form.selectedDomainIDs(), QSet<QString>{staging.id});
        QVERIFY(bench.form.skipIfChanged());
        QVERIFY(!bench.form.sitePillEnabled());
        const auto draft = bench.form.makeDraft();
        QVERIFY(draft->id != queued.id);
        QCOMPARE(draft->domains, QList<PublishDomain>{staging});
        bench.form.setShowingForm(false);
        QVERIFY(!bench.form.rescheduling());
        QVERIFY(bench.form.sitePillEnabled());
    }

    void startScheduling()
    {
        Bench bench;
        const SiteRecord closed = siteRecord(u"closed"_s, u"Closed"_s, u"closed"_s);
        // Without access: connecting publishing comes first, and its success opens the form.
        bench.form.startScheduling(closed);
        QVERIFY(!bench.form.showingForm());
        QCOMPARE(bench.context.presented.last().title, u"Connect publishing for Closed?"_s);
        bench.context.confirmLatest();
        QCOMPARE(bench.context.connects.size(), 1);
        QCOMPARE(bench.context.connects.first().label, u"Closed"_s);
        bench.context.connects.first().onConnected();
        QVERIFY(bench.form.showingForm());
        QCOMPARE(bench.form.selectedSite(), std::optional(closed));
        // Opened on a site set while closed: no domain ticked, submit waits for one.
        QVERIFY(bench.form.selectedDomainIDs().isEmpty());
        QVERIFY(!bench.form.submitEnabled());

        // A revocation still finishing stops the connect.
        bench.context.revocationPending = true;
        bench.form.startScheduling(closed);
        bench.context.confirmLatest();
        QCOMPARE(bench.context.connects.size(), 1);
    }
};

QTEST_GUILESS_MAIN(tst_ScheduleForm)
#include "tst_ScheduleForm.moc"
