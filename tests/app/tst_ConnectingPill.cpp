// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "app/ConnectingPill.h"
#include "support/ManualDelay.h"

#include <QSignalSpy>
#include <QTest>

using namespace std::chrono_literals;
using Phase = ConnectingPill::Phase;

class tst_ConnectingPill : public QObject
{
    Q_OBJECT

private slots:
    void cutTitle_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("shown");
        const QString ellipsis(QChar(0x2026));
        QTest::newRow("42 characters whole") << QString(42, u'a') << QString(42, u'a');
        QTest::newRow("43 characters cut") << QString(43, u'a') << QString(41, u'a') + ellipsis;
        QTest::newRow("long") << QString(100, u'b') << QString(41, u'b') + ellipsis;
        QTest::newRow("trailing spaces before the cut") << QString(38, u'c') + "   " + QString(10, u'd')
                                                        << QString(38, u'c') + ellipsis;
        QTest::newRow("leading spaces of a cut title") << "  " + QString(50, u'e') << QString(39, u'e') + ellipsis;
        QTest::newRow("spaces of a short title stay") << "  short  " << "  short  ";
        QTest::newRow("empty") << QString() << QString();
        const QString family = QStringLiteral("\U0001F468\u200D\U0001F469\u200D\U0001F467");
        QTest::newRow("emoji count as one") << family.repeated(42) << family.repeated(42);
        QTest::newRow("emoji cut") << family.repeated(43) << family.repeated(41) + ellipsis;
        const QString accented = QStringLiteral("e\u0301");
        QTest::newRow("combining marks count as one") << accented.repeated(43) << accented.repeated(41) + ellipsis;
    }

    void cutTitle()
    {
        QFETCH(QString, title);
        QFETCH(QString, shown);
        QCOMPARE(ConnectingPill::cutTitle(title), shown);
    }

    void origin()
    {
        QCOMPARE(ConnectingPill::origin(QRect(0, 30, 1280, 994), QSize(200, 44)), QPoint(540, 36));
        QCOMPARE(ConnectingPill::origin(QRect(1920, 0, 1000, 800), QSize(100, 40)), QPoint(2370, 6));
    }

    void successClosesAfterTheDelay()
    {
        ManualDelay time;
        ConnectingPill pill(time.delay());
        QVERIFY(!pill.markConnected("Acme"));
        pill.show("Acme");
        QVERIFY(pill.presented());
        QCOMPARE(pill.title(), "Acme");
        QCOMPARE(pill.phase(), Phase::Connecting);
        QVERIFY(pill.markConnected("Acme site"));
        QCOMPARE(pill.title(), "Acme site");
        QCOMPARE(pill.phase(), Phase::Connected);
        // The success stays 1.25 s, on the clock it was given.
        QCOMPARE(time.pending(), 1);
        time.advance(1249ms);
        QVERIFY(pill.presented());
        time.advance(1ms);
        QVERIFY(!pill.presented());
        // After the automatic close the pill is gone: a late confirmation changes nothing.
        QVERIFY(!pill.markConnected("Other"));
        QCOMPARE(pill.title(), "Acme site");
        QCOMPARE(pill.phase(), Phase::Connected);
    }

    void showCancelsPendingClose()
    {
        ManualDelay time;
        ConnectingPill pill(time.delay());
        pill.show("First");
        QVERIFY(pill.markConnected("First"));
        pill.show("Second");
        QCOMPARE(pill.phase(), Phase::Connecting);
        QCOMPARE(pill.title(), "Second");
        QSignalSpy hidden(&pill, &ConnectingPill::presentedChanged);
        time.advance(10s);
        QCOMPARE(hidden.count(), 0);
        QVERIFY(pill.presented());
    }

    void secondSuccessRestartsTheWait()
    {
        ManualDelay time;
        ConnectingPill pill(time.delay());
        pill.show("Site");
        QVERIFY(pill.markConnected("Site"));
        time.advance(500ms);
        QVERIFY(pill.markConnected("Site"));
        QSignalSpy hidden(&pill, &ConnectingPill::presentedChanged);
        // The first call's time runs out here; the second's has not.
        time.advance(1000ms);
        QCOMPARE(hidden.count(), 0);
        time.advance(249ms);
        QCOMPARE(hidden.count(), 0);
        QVERIFY(pill.presented());
        time.advance(1ms);
        QVERIFY(!pill.presented());
        QCOMPARE(hidden.count(), 1);
    }

    void dismissHidesAtOnce()
    {
        ManualDelay time;
        ConnectingPill pill(time.delay());
        pill.show("Site");
        QVERIFY(pill.markConnected("Site"));
        pill.dismiss();
        QVERIFY(!pill.presented());
        // The title and phase are kept while hidden; the next show replaces them.
        QCOMPARE(pill.phase(), Phase::Connected);
        pill.show("Next");
        QSignalSpy hidden(&pill, &ConnectingPill::presentedChanged);
        // The dismissed success's wait ends and leaves the new showing alone.
        time.advance(ConnectingPill::successShownFor);
        QCOMPARE(hidden.count(), 0);
        QVERIFY(pill.presented());
        pill.dismiss();
        QVERIFY(!pill.markConnected("Site"));
    }

    // A pill that goes while its close is pending is not touched when the wait ends.
    void pendingCloseOutlivesThePill()
    {
        ManualDelay time;
        auto pill = std::make_unique<ConnectingPill>(time.delay());
        pill->show("Site");
        QVERIFY(pill->markConnected("Site"));
        pill.reset();
        time.advance(ConnectingPill::successShownFor);
        QCOMPARE(time.pending(), 0);
    }

    void closedByHandStaysAway()
    {
        ManualDelay time;
        ConnectingPill pill(time.delay());
        QSignalSpy shown(&pill, &ConnectingPill::shown);
        pill.show("Site");
        pill.closeByHand();
        QVERIFY(pill.suppressed());
        QVERIFY(!pill.presented());
        pill.show("Site");
        QVERIFY(!pill.presented());
        QVERIFY(!pill.markConnected("Site"));
        QCOMPARE(shown.count(), 1);
        // A new consent flow clears the flag.
        pill.dismiss();
        pill.setSuppressed(false);
        pill.show("Again");
        QVERIFY(pill.presented());
        QCOMPARE(shown.count(), 2);
    }
};

QTEST_GUILESS_MAIN(tst_ConnectingPill)
#include "tst_ConnectingPill.moc"
