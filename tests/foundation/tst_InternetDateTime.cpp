// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "foundation/InternetDateTime.h"

#include <QTest>

class tst_InternetDateTime : public QObject
{
    Q_OBJECT

private slots:
    void parse_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QDateTime>("expected");

        const QDateTime base(QDate(2026, 3, 8), QTime(15, 30, 0), Qt::UTC);
        QTest::newRow("Z") << "2026-03-08T15:30:00Z" << base;
        QTest::newRow("offset") << "2026-03-08T17:30:00+02:00" << base;
        QTest::newRow("negative offset") << "2026-03-08T10:00:00-05:30" << base;

        QTest::newRow("fraction") << "2026-03-08T15:30:00.5Z" << QDateTime();
        QTest::newRow("no offset") << "2026-03-08T15:30:00" << QDateTime();
        QTest::newRow("bare date") << "2026-03-08" << QDateTime();
        QTest::newRow("trailing line feed") << "2026-03-08T15:30:00Z\n" << QDateTime();
        QTest::newRow("impossible day") << "2026-02-30T15:30:00Z" << QDateTime();
        QTest::newRow("impossible offset") << "2026-03-08T15:30:00+24:00" << QDateTime();
    }

    void parse()
    {
        QFETCH(QString, text);
        QFETCH(QDateTime, expected);
        const QDateTime parsed = InternetDateTime::parse(text);
        QCOMPARE(parsed.isValid(), expected.isValid());
        if (expected.isValid()) {
            QCOMPARE(parsed, expected);
            QCOMPARE(parsed.timeSpec(), Qt::UTC);
        }
    }

    void formatsWholeSecondsInUTC()
    {
        const QDateTime instant(QDate(2026, 3, 8), QTime(17, 30, 0, 999), Qt::OffsetFromUTC, 7200);
        QCOMPARE(InternetDateTime::format(instant), QStringLiteral("2026-03-08T15:30:00Z"));
        QCOMPARE(InternetDateTime::parse(InternetDateTime::format(instant)),
                 QDateTime(QDate(2026, 3, 8), QTime(15, 30, 0), Qt::UTC));
    }
};

QTEST_GUILESS_MAIN(tst_InternetDateTime)
#include "tst_InternetDateTime.moc"
