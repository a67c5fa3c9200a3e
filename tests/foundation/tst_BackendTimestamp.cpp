// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "foundation/BackendTimestamp.h"

#include <QTest>

class tst_BackendTimestamp : public QObject
{
    Q_OBJECT

private slots:
    void parse_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QDateTime>("expected");

        const QDateTime base(QDate(2026, 3, 8), QTime(15, 30, 0), Qt::UTC);
        QTest::newRow("Z, no fraction") << "2026-03-08T15:30:00Z" << base;
        QTest::newRow("postgres offset, micros") << "2026-03-08T15:30:00.123456+00:00" << base.addMSecs(123);
        QTest::newRow("one digit") << "2026-03-08T15:30:00.5Z" << base.addMSecs(500);
        QTest::newRow("nine digits") << "2026-03-08T15:30:00.987654321Z" << base.addMSecs(987);
        QTest::newRow("positive offset") << "2026-03-08T17:30:00+02:00" << base;
        QTest::newRow("negative offset, no colon") << "2026-03-08T10:00:00-0530" << base;
        QTest::newRow("hour-only offset") << "2026-03-08T16:30:00+01" << base;
        // A column without a zone holds UTC.
        QTest::newRow("no zone") << "2026-03-08T15:30:00" << base;
        QTest::newRow("no zone, fraction") << "2026-03-08T15:30:00.25" << base.addMSecs(250);

        QTest::newRow("bare date") << "2026-03-08" << QDateTime();
        QTest::newRow("date and hour only") << "2026-03-08T15" << QDateTime();
        QTest::newRow("empty fraction") << "2026-03-08T15:30:00.Z" << QDateTime();
        QTest::newRow("offset without minutes' digits") << "2026-03-08T15:30:00+01:" << QDateTime();
        QTest::newRow("text after the time") << "2026-03-08T15:30:00 UTC" << QDateTime();
        QTest::newRow("past the year 9999") << "9999-12-31T23:59:59.999-23:59" << QDateTime();
        QTest::newRow("before the year 1") << "0001-01-01T00:00:00+0100" << QDateTime();
        QTest::newRow("ten digits") << "2026-03-08T15:30:00.1234567890Z" << QDateTime();
        QTest::newRow("impossible day") << "2026-02-30T15:30:00Z" << QDateTime();
        QTest::newRow("impossible offset") << "2026-03-08T15:30:00+25:00" << QDateTime();
        QTest::newRow("empty") << "" << QDateTime();
    }

    void parse()
    {
        QFETCH(QString, text);
        QFETCH(QDateTime, expected);
        const QDateTime parsed = BackendTimestamp::parse(text);
        QCOMPARE(parsed.isValid(), expected.isValid());
        if (expected.isValid()) {
            QCOMPARE(parsed, expected);
            QCOMPARE(parsed.timeSpec(), Qt::UTC);
        }
    }

    void formatRoundTrips()
    {
        const QDateTime instant(QDate(2026, 3, 8), QTime(15, 30, 0, 250), Qt::UTC);
        QCOMPARE(BackendTimestamp::format(instant), QStringLiteral("2026-03-08T15:30:00.250Z"));
        QCOMPARE(BackendTimestamp::parse(BackendTimestamp::format(instant)), instant);
    }
};

QTEST_GUILESS_MAIN(tst_BackendTimestamp)
#include "tst_BackendTimestamp.moc"
