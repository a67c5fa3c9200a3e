// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "ScheduleSamples.h"
#include "scheduling/ScheduleTimeRules.h"

#include <QTest>

using namespace Qt::StringLiterals;
using namespace ScheduleTimeRules;

Q_DECLARE_METATYPE(ScheduleOperationOutcome)

namespace {

const QTimeZone losAngeles("America/Los_Angeles");
const QLocale english(u"en_US"_s);

/// A wall-clock moment in Los Angeles.
QDateTime la(int month, int day, int hour, int minute, int second = 0, int ms = 0)
{
    return QDateTime(QDate(2026, month, day), QTime(hour, minute, second, ms), losAngeles);
}

ScheduleTimeContext context(const QDateTime &now, const QTimeZone &zone = losAngeles)
{
    return {now, zone, english};
}

ScheduleOperationStatus statusWith(const ScheduleOperationOutcome &outcome)
{
    return {QUuid::createUuid(), ScheduleOperationKind::replace(QUuid::createUuid(), u"site-a"_s), outcome};
}

} // namespace

// The shared time rules of the schedule form and screen, with the zone and locale pinned.
class tst_ScheduleTimeRules : public QObject
{
    Q_OBJECT

private slots:
    void defaultPublishTime_data()
    {
        QTest::addColumn<QDateTime>("now");
        QTest::addColumn<QDateTime>("expected");
        QTest::newRow("rounds up to the next mark") << la(6, 3, 10, 2, 10) << la(6, 3, 11, 5);
        QTest::newRow("a mark exactly stays") << la(6, 3, 10, 0, 0, 0) << la(6, 3, 11, 0);
        QTest::newRow("a tenth past a mark moves on") << la(6, 3, 10, 0, 0, 100) << la(6, 3, 11, 5);
        QTest::newRow("across the hour") << la(6, 3, 10, 55, 0, 400) << la(6, 3, 12, 0);
        QTest::newRow("across midnight") << la(6, 3, 23, 58) << la(6, 4, 1, 0);
    }

    void defaultPublishTime()
    {
        QFETCH(QDateTime, now);
        QFETCH(QDateTime, expected);
        const QDateTime result = ScheduleTimeRules::defaultPublishTime(now);
        QCOMPARE(result, expected);
        QCOMPARE(result.time().msec(), 0);
        QVERIFY(now.msecsTo(result) >= 3'600'000);
        QVERIFY(now.msecsTo(result) < 3'900'000);
    }

    void leadTime_data()
    {
        QTest::addColumn<QDateTime>("now");
        QTest::addColumn<qint64>("aheadSeconds");
        QTest::addColumn<bool>("acceptable");
        QTest::addColumn<QDateTime>("earliest");
        QTest::newRow("exactly 300 s proceeds") << la(6, 3, 10, 0, 45) << qint64(300) << true << la(6, 3, 10, 6);
        QTest::newRow("299 s moves to the whole minute") << la(6, 3, 10, 0, 45) << qint64(299) << false << la(6, 3, 10, 6);
        QTest::newRow("a minute mark plus 360 s") << la(6, 3, 10, 0) << qint64(120) << false << la(6, 3, 10, 6);
        QTest::newRow("in the past") << la(6, 3, 10, 0, 59, 999) << qint64(-60) << false << la(6, 3, 10, 6);
    }

    void leadTime()
    {
        QFETCH(QDateTime, now);
        QFETCH(qint64, aheadSeconds);
        QFETCH(bool, acceptable);
        QFETCH(QDateTime, earliest);
        QCOMPARE(isLeadTimeAcceptable(now.addSecs(aheadSeconds), now), acceptable);
        const QDateTime moved = earliestPublishTime(now, losAngeles);
        QCOMPARE(moved, earliest);
        // The moved time always passes the check it was moved for.
        QVERIFY(isLeadTimeAcceptable(moved, now));
        QVERIFY(now.secsTo(moved) <= 360);
    }

    void labels_data()
    {
        QTest::addColumn<QDateTime>("now");
        QTest::addColumn<QDateTime>("publishAt");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("zoneLabel");
        QTest::newRow("summer") << la(6, 1, 8, 0) << la(6, 3, 9, 0) << u"Jun 3, 9:00 AM, PDT"_s
                                << u"America/Los_Angeles (PDT)"_s;
        QTest::newRow("publish after spring forward") << la(3, 1, 10, 0) << la(3, 10, 21, 15)
                                                      << u"Mar 10, 9:15 PM, PDT"_s << u"America/Los_Angeles (PST)"_s;
        QTest::newRow("publish after fall back") << la(10, 30, 10, 0) << la(11, 2, 0, 5)
                                                 << u"Nov 2, 12:05 AM, PST"_s << u"America/Los_Angeles (PDT)"_s;
    }

    void labels()
    {
        QFETCH(QDateTime, now);
        QFETCH(QDateTime, publishAt);
        QFETCH(QString, title);
        QFETCH(QString, zoneLabel);
        // The date is handed over in UTC, as the form holds it; the text is in the computer's zone.
        QCOMPARE(formTitleDateText(publishAt.toUTC(), context(now)), title);
        QCOMPARE(currentTimeZoneLabel(context(now)), zoneLabel);
    }

    void labelsWithoutAbbreviation()
    {
        const QTimeZone bare("Test/Bare", 3600, u"Bare"_s, QString());
        const QDateTime now = QDateTime(QDate(2026, 6, 3), QTime(8, 0), Qt::UTC);
        QCOMPARE(formTitleDateText(now, context(now, bare)), u"Jun 3, 9:00 AM"_s);
        QCOMPARE(currentTimeZoneLabel(context(now, bare)), u"Test/Bare"_s);
    }

    void submissionError_data()
    {
        QTest::addColumn<ScheduleOperationOutcome>("outcome");
        QTest::addColumn<bool>("isError");
        QTest::addColumn<QString>("heading");
        QTest::addColumn<QString>("message");
        QTest::addColumn<bool>("canRefresh");

        const QString notConfirmed = u"The cloud may have saved this publish, but Quorvane could not confirm it. "
                                     u"Refresh the queue before trying again."_s;
        ScheduledPublish newer = ScheduleSamples::schedule(u"site-a"_s, QDateTime(QDate(2026, 6, 3), QTime(16, 0), Qt::UTC));
        newer.siteName = u"Acme"_s;
        newer.timeZoneID = u"America/New_York"_s;
        ScheduledPublish unknownZone = newer;
        unknownZone.timeZoneID = u"Nowhere/Atlantis"_s;

        QTest::newRow("accepted") << ScheduleOperationOutcome::accepted() << false << QString() << QString() << false;
        QTest::newRow("refused") << ScheduleOperationOutcome::refused(u"The project is being removed."_s) << true
                                 << u"Publish not scheduled"_s << u"The project is being removed."_s << false;
        QTest::newRow("refused without text") << ScheduleOperationOutcome::refused(QString()) << true
                                              << u"Publish not scheduled"_s << QString() << false;
        QTest::newRow("superseded") << ScheduleOperationOutcome::superseded(newer) << true
                                    << u"A newer schedule already exists"_s
                                    << u"The authoritative queue has Acme scheduled for Wed, Jun 3, 2026 · 12:00 PM EDT. "
                                       u"Review the queue before deciding whether to replace it."_s
                                    << true;
        QTest::newRow("superseded in an unknown zone") << ScheduleOperationOutcome::superseded(unknownZone) << true
                                                       << u"A newer schedule already exists"_s
                                                       << u"The authoritative queue has Acme scheduled for Wed, Jun 3, 2026 · 9:00 AM PDT. "
                                                          u"Review the queue before deciding whether to replace it."_s
                                                       << true;
        QTest::newRow("pending") << ScheduleOperationOutcome::pending() << true << u"Schedule not confirmed"_s
                                 << notConfirmed << true;
        QTest::newRow("ambiguous") << ScheduleOperationOutcome::ambiguous() << true << u"Schedule not confirmed"_s
                                   << notConfirmed << true;
        QTest::newRow("confirmed absent") << ScheduleOperationOutcome::confirmedAbsent() << true
                                          << u"Publish not scheduled"_s
                                          << u"The cloud confirmed that this publish was not saved. Review your choices and try again."_s
                                          << false;
        QTest::newRow("publishing") << ScheduleOperationOutcome::publishing() << true
                                    << u"A publish is already running"_s
                                    << u"The cloud reports that this site is publishing now. Try again after the active publish finishes."_s
                                    << true;
    }

    void submissionError()
    {
        QFETCH(ScheduleOperationOutcome, outcome);
        QFETCH(bool, isError);
        QFETCH(QString, heading);
        QFETCH(QString, message);
        QFETCH(bool, canRefresh);
        const auto error = ScheduleTimeRules::submissionError(statusWith(outcome), context(la(6, 1, 8, 0)));
        QCOMPARE(error.has_value(), isError);
        if (error)
            QCOMPARE(*error, (ScheduleSubmissionError{heading, message, canRefresh}));
    }

    void errorsCompareByFields()
    {
        const auto ctx = context(la(6, 1, 8, 0));
        QCOMPARE(ScheduleTimeRules::submissionError(statusWith(ScheduleOperationOutcome::pending()), ctx),
                 ScheduleTimeRules::submissionError(statusWith(ScheduleOperationOutcome::ambiguous()), ctx));
        QVERIFY(ScheduleTimeRules::submissionError(statusWith(ScheduleOperationOutcome::refused(u"x"_s)), ctx)
                != ScheduleTimeRules::submissionError(statusWith(ScheduleOperationOutcome::confirmedAbsent()), ctx));
    }
};

QTEST_GUILESS_MAIN(tst_ScheduleTimeRules)
#include "tst_ScheduleTimeRules.moc"
