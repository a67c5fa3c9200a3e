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
        QTest::newRow("first instant") << "0001-01-01T00:00:00Z"
                                       << QDateTime(QDate(1, 1, 1), QTime(0, 0), Qt::UTC);
        QTest::newRow("last instant") << "9999-12-31T23:59:59Z"
                                      << QDateTime(QDate(9999, 12, 31), QTime(23, 59, 59), Qt::UTC);
        QTest::newRow("offset that stays within the years")
            << "0001-01-01T23:59:00+23:59" << QDateTime(QDate(1, 1, 1), QTime(0, 0), Qt::UTC);

        QTest::newRow("fraction") << "2026-03-08T15:30:00.5Z" << QDateTime();
        QTest::newRow("no offset") << "2026-03-08T15:30:00" << QDateTime();
        QTest::newRow("compact offset") << "2026-03-08T17:30:00+0200" << QDateTime();
        QTest::newRow("bare date") << "2026-03-08" << QDateTime();
        QTest::newRow("trailing line feed") << "2026-03-08T15:30:00Z\n" << QDateTime();
        QTest::newRow("impossible day") << "2026-02-30T15:30:00Z" << QDateTime();
        QTest::newRow("impossible offset") << "2026-03-08T15:30:00+24:00" << QDateTime();
        QTest::newRow("digits of another script") << QStringLiteral("٢٠٢٦-03-08T15:30:00Z") << QDateTime();
        // An offset that moves the instant off the calendar: there would be no text to write back.
        QTest::newRow("past the year 9999") << "9999-12-31T23:59:59-23:59" << QDateTime();
        QTest::newRow("before the year 1") << "0001-01-01T00:00:00+23:59" << QDateTime();
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
            // Whatever is read can be written back.
            QCOMPARE(InternetDateTime::parse(InternetDateTime::format(parsed)), parsed);
        }
    }

    void utcFormReadsOnlyWhatFormatWrites_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("read");
        QTest::newRow("Z") << "2026-03-08T15:30:00Z" << true;
        QTest::newRow("offset") << "2026-03-08T17:30:00+02:00" << false;
        QTest::newRow("zero offset") << "2026-03-08T15:30:00+00:00" << false;
        QTest::newRow("fraction") << "2026-03-08T15:30:00.000Z" << false;
        QTest::newRow("no zone") << "2026-03-08T15:30:00" << false;
        QTest::newRow("short month") << "2026-3-08T15:30:00Z" << false;
    }

    void utcFormReadsOnlyWhatFormatWrites()
    {
        QFETCH(QString, text);
        QFETCH(bool, read);
        const QDateTime parsed = InternetDateTime::parse(text, InternetDateTime::utcForm);
        QCOMPARE(parsed.isValid(), read);
        if (read)
            QCOMPARE(InternetDateTime::format(parsed), text);
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
