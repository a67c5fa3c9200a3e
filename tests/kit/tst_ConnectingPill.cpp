// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "kit/ConnectingPill.h"

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
        ConnectingPill pill(40ms);
        QVERIFY(!pill.markConnected("Acme"));
        pill.show("Acme");
        QVERIFY(pill.presented());
        QCOMPARE(pill.title(), "Acme");
        QCOMPARE(pill.phase(), Phase::Connecting);
        QVERIFY(pill.markConnected("Acme site"));
        QCOMPARE(pill.title(), "Acme site");
        QCOMPARE(pill.phase(), Phase::Connected);
        QTRY_VERIFY(!pill.presented());
        // After the automatic close the pill is gone: a late confirmation changes nothing.
        QVERIFY(!pill.markConnected("Other"));
        QCOMPARE(pill.title(), "Acme site");
        QCOMPARE(pill.phase(), Phase::Connected);
    }

    void showCancelsPendingClose()
    {
        ConnectingPill pill(40ms);
        pill.show("First");
        QVERIFY(pill.markConnected("First"));
        pill.show("Second");
        QCOMPARE(pill.phase(), Phase::Connecting);
        QCOMPARE(pill.title(), "Second");
        QSignalSpy hidden(&pill, &ConnectingPill::presentedChanged);
        QVERIFY(!hidden.wait(150));
        QVERIFY(pill.presented());
    }

    void secondSuccessRestartsTheWait()
    {
        // Wide margins: a loaded machine may deliver the waits late by a few hundred milliseconds.
        ConnectingPill pill(1000ms);
        pill.show("Site");
        QVERIFY(pill.markConnected("Site"));
        QTest::qWait(500);
        QVERIFY(pill.markConnected("Site"));
        QSignalSpy hidden(&pill, &ConnectingPill::presentedChanged);
        // The first call's time runs out here; the second's has not.
        QVERIFY(!hidden.wait(700));
        QVERIFY(pill.presented());
        QTRY_VERIFY(!pill.presented());
    }

    void dismissHidesAtOnce()
    {
        ConnectingPill pill(40ms);
        pill.show("Site");
        QVERIFY(pill.markConnected("Site"));
        pill.dismiss();
        QVERIFY(!pill.presented());
        // The title and phase are kept while hidden; the next show replaces them.
        QCOMPARE(pill.phase(), Phase::Connected);
        pill.show("Next");
        QSignalSpy hidden(&pill, &ConnectingPill::presentedChanged);
        QVERIFY(!hidden.wait(120));
        QVERIFY(pill.presented());
        pill.dismiss();
        QVERIFY(!pill.markConnected("Site"));
    }

    void closedByHandStaysAway()
    {
        ConnectingPill pill(40ms);
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
