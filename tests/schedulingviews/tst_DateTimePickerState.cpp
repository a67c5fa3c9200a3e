// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "schedulingviews/DateTimePickerState.h"

#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

const QTimeZone losAngeles("America/Los_Angeles");

QDateTime la(int day, int hour, int minute)
{
    return QDateTime(QDate(2026, 6, day), QTime(hour, minute), losAngeles);
}

/// A picker pinned to Los Angeles in US English at 10:00 on June 3, showing 11:05 that day.
struct Picker
{
    DateTimePickerState state;
    QSignalSpy commits{&state, &DateTimePickerState::committed};

    explicit Picker(const QLocale &locale = QLocale(u"en_US"_s))
    {
        state.setEnvironment(losAngeles, locale, [] { return la(3, 10, 0); });
        state.setDate(la(3, 11, 5));
        state.setMinimumDate(la(3, 10, 0));
    }
};

} // namespace

// The picker's draft and its commits: every close commits, edits stay at or after the minimum.
class tst_DateTimePickerState : public QObject
{
    Q_OBJECT

private slots:
    void everyCloseCommitsTheDraft_data()
    {
        QTest::addColumn<bool>("secondPress");
        QTest::newRow("a close from outside") << false;
        QTest::newRow("a second press on the pill") << true;
    }

    void everyCloseCommitsTheDraft()
    {
        QFETCH(bool, secondPress);
        Picker picker;
        picker.state.pressPill();
        QVERIFY(picker.state.isOpen());
        picker.state.pickDay(2026, 5, 9);
        picker.state.setTime(14, 30);
        // The pill keeps the chosen moment until the commit.
        QCOMPARE(picker.state.date(), la(3, 11, 5));
        if (secondPress)
            picker.state.pressPill();
        else
            picker.state.close();
        QVERIFY(!picker.state.isOpen());
        QCOMPARE(picker.state.date(), la(9, 14, 30));
        QCOMPARE(picker.commits.size(), 1);
        QCOMPARE(picker.commits.first().first().toDateTime(), la(9, 14, 30));
        // A close of a closed picker commits nothing more.
        picker.state.close();
        QCOMPARE(picker.commits.size(), 1);
    }

    void openingStartsFromTheDate()
    {
        Picker picker;
        picker.state.pressPill();
        picker.state.close();
        QCOMPARE(picker.state.date(), la(3, 11, 5));
        QCOMPARE(picker.commits.size(), 1);
        // An edit left in a closed draft does not survive the next opening.
        picker.state.setDate(la(4, 8, 0));
        picker.state.pressPill();
        QCOMPARE(picker.state.draft(), la(4, 8, 0));
        QCOMPARE(picker.state.zoneLabel(), u"America/Los_Angeles (PDT)"_s);
    }

    void editsStayAtOrAfterTheMinimum_data()
    {
        QTest::addColumn<int>("day");
        QTest::addColumn<int>("hour");
        QTest::addColumn<int>("minute");
        QTest::addColumn<QDateTime>("draft");
        QTest::newRow("an earlier time that day") << 3 << 9 << 15 << la(3, 10, 0);
        QTest::newRow("an earlier day is not offered") << 2 << 14 << 0 << la(3, 14, 0);
        QTest::newRow("later is kept") << 5 << 7 << 45 << la(5, 7, 45);
    }

    void editsStayAtOrAfterTheMinimum()
    {
        QFETCH(int, day);
        QFETCH(int, hour);
        QFETCH(int, minute);
        QFETCH(QDateTime, draft);
        Picker picker;
        picker.state.pressPill();
        picker.state.pickDay(2026, 5, day);
        picker.state.setTime(hour, minute);
        QCOMPARE(picker.state.draft(), draft);
    }

    void timeField_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("hour");
        QTest::addColumn<QString>("minute");
        QTest::addColumn<bool>("dayPeriod");
        QTest::addColumn<QString>("pill");
        QTest::newRow("US English: twelve hours") << u"en_US"_s << u"1"_s << u"05"_s << true << u"Jun 3, 2026, 1:05 PM"_s;
        QTest::newRow("German: 24 hours") << u"de_DE"_s << u"13"_s << u"05"_s << false << u"Juni 3, 2026, 13:05"_s;
    }

    void timeField()
    {
        QFETCH(QString, locale);
        QFETCH(QString, hour);
        QFETCH(QString, minute);
        QFETCH(bool, dayPeriod);
        QFETCH(QString, pill);
        Picker picker{QLocale(locale)};
        picker.state.setDate(la(3, 13, 5));
        picker.state.pressPill();
        QCOMPARE(picker.state.hourText(), hour);
        QCOMPARE(picker.state.minuteText(), minute);
        QCOMPARE(picker.state.usesDayPeriod(), dayPeriod);
        QVERIFY(picker.state.afternoon());
        QCOMPARE(picker.state.pillText(), pill);
        picker.state.toggleDayPeriod();
        QCOMPARE(picker.state.draft(), la(3, 10, 0)); // 01:05 is before the minimum
        picker.state.stepMinute(-1);
        QCOMPARE(picker.state.draft(), la(3, 10, 59)); // wraps within the hour
        picker.state.stepHour(3);
        QCOMPARE(picker.state.draft(), la(3, 13, 59));
    }

    void zoneWithoutAbbreviation()
    {
        DateTimePickerState state;
        const QTimeZone bare("Test/Bare", 3600, u"Bare"_s, QString());
        state.setEnvironment(bare, QLocale(u"en_US"_s), [] { return la(3, 10, 0); });
        state.setDate(la(3, 11, 5));
        state.pressPill();
        QCOMPARE(state.zoneLabel(), u"Test/Bare"_s);
    }
};

QTEST_GUILESS_MAIN(tst_DateTimePickerState)
#include "tst_DateTimePickerState.moc"
