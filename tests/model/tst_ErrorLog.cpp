// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "model/ErrorLog.h"
#include "support/MemorySystemLog.h"

#include <QSignalSpy>
#include <QTest>

namespace {

const QDateTime start(QDate(2026, 1, 15), QTime(12, 0), Qt::UTC);

} // namespace

class tst_ErrorLog : public QObject
{
    Q_OBJECT

private slots:
    void repeats_data()
    {
        QTest::addColumn<qint64>("laterBySeconds");
        QTest::addColumn<int>("kept");

        QTest::newRow("59 s later: dropped") << qint64(59) << 1;
        QTest::newRow("60 s later: kept") << qint64(60) << 2;
        QTest::newRow("earlier than the first: dropped") << qint64(-300) << 1;
    }

    void repeats()
    {
        QFETCH(qint64, laterBySeconds);
        QFETCH(int, kept);

        MemorySystemLog systemLog;
        ErrorLog log(systemLog);
        log.record(QStringLiteral("sites"), QStringLiteral("Couldn't save sites.json."), start);
        log.record(QStringLiteral("sites"), QStringLiteral("Couldn't save sites.json."), start.addSecs(laterBySeconds));

        QCOMPARE(log.events().size(), kept);
        QCOMPARE(systemLog.lines.size(), kept);
        QCOMPARE(systemLog.lines.first(), QStringLiteral("[sites] Couldn't save sites.json."));
    }

    void eventHoldsTheRedactedMessage()
    {
        MemorySystemLog systemLog;
        ErrorLog log(systemLog);
        QSignalSpy changed(&log, &ErrorLog::eventsChanged);

        log.record(QStringLiteral("account"), QStringLiteral("Refresh refused: Bearer abc123"), start);

        QCOMPARE(changed.size(), 1);
        QCOMPARE(log.events().size(), 1);
        const ErrorEvent &event = log.events().first();
        QVERIFY(!event.id.isNull());
        QCOMPARE(event.at, start);
        QCOMPARE(event.area, QStringLiteral("account"));
        QCOMPARE(event.message, QStringLiteral("Refresh refused: Bearer \u2039redacted\u203A"));
        QCOMPARE(systemLog.lines, QStringList{QStringLiteral("[account] Refresh refused: Bearer \u2039redacted\u203A")});
    }

    void repeatIsMatchedAfterRedaction()
    {
        MemorySystemLog systemLog;
        ErrorLog log(systemLog);
        log.record(QStringLiteral("account"), QStringLiteral("Refused Bearer one"), start);
        log.record(QStringLiteral("account"), QStringLiteral("Refused Bearer two"), start.addSecs(1));
        QCOMPARE(log.events().size(), 1);
        QCOMPARE(systemLog.lines.size(), 1);
    }

    void repeatsAreMatchedByAreaAndAcrossOtherEvents()
    {
        MemorySystemLog systemLog;
        ErrorLog log(systemLog);
        QSignalSpy changed(&log, &ErrorLog::eventsChanged);
        log.record(QStringLiteral("projects"), QStringLiteral("Disk full."), start);
        log.record(QStringLiteral("sites"), QStringLiteral("Disk full."), start.addSecs(1));
        log.record(QStringLiteral("sites"), QStringLiteral("Something else."), start.addSecs(2));
        changed.clear();
        log.record(QStringLiteral("projects"), QStringLiteral("Disk full."), start.addSecs(30));

        QCOMPARE(log.events().size(), 3);
        QCOMPARE(systemLog.lines,
                 (QStringList{QStringLiteral("[projects] Disk full."), QStringLiteral("[sites] Disk full."),
                              QStringLiteral("[sites] Something else.")}));
        QCOMPARE(changed.size(), 0);
    }

    void keepsTheNewestFifty()
    {
        MemorySystemLog systemLog;
        ErrorLog log(systemLog);
        for (int i = 1; i <= 50; ++i)
            log.record(QStringLiteral("area"), QStringLiteral("failure %1").arg(i), start);
        QSignalSpy changed(&log, &ErrorLog::eventsChanged);

        log.record(QStringLiteral("area"), QStringLiteral("failure 51"), start);

        QCOMPARE(changed.size(), 2); // the append, then the trim
        QCOMPARE(log.events().size(), 50);
        QCOMPARE(log.events().first().message, QStringLiteral("failure 2"));
        QCOMPARE(log.events().last().message, QStringLiteral("failure 51"));
        QCOMPARE(systemLog.lines.size(), 51);
    }

    void signInKeyNeverReachesTheLogAsNul()
    {
        MemorySystemLog systemLog;
        ErrorLog log(systemLog);
        const QString key = QChar::Null + QStringLiteral("claude-auth");

        log.record(key, QStringLiteral("Run %1 was cancelled.").arg(key), start);

        QCOMPARE(log.events().first().area, QStringLiteral("claude-auth"));
        QCOMPARE(log.events().first().message, QStringLiteral("Run claude-auth was cancelled."));
        QCOMPARE(systemLog.lines, QStringList{QStringLiteral("[claude-auth] Run claude-auth was cancelled.")});
        QCOMPARE(SystemLog::line(key, key), QStringLiteral("[claude-auth] claude-auth"));
    }

    void eventJson()
    {
        const ErrorEvent event{QUuid(QStringLiteral("{6f1c1f0e-8d0a-4b5e-9d4c-1a2b3c4d5e6f}")),
                               QDateTime(QDate(2026, 3, 4), QTime(5, 6, 7, 890), Qt::UTC),
                               QStringLiteral("sites"), QStringLiteral("Disk full.")};
        const QJsonObject expected{{"id", "6F1C1F0E-8D0A-4B5E-9D4C-1A2B3C4D5E6F"},
                                   {"at", "2026-03-04T05:06:07Z"},
                                   {"area", "sites"},
                                   {"message", "Disk full."}};
        QCOMPARE(event.toJson(), expected);
    }

    void cancellation_data()
    {
        QTest::addColumn<QNetworkReply::NetworkError>("error");
        QTest::addColumn<bool>("abandoned");
        QTest::addColumn<bool>("expected");
        QTest::newRow("cancelled") << QNetworkReply::OperationCanceledError << true << true;
        // Qt's transfer timeout ends a request the same way.
        QTest::newRow("past the transfer timeout") << QNetworkReply::OperationCanceledError << false << false;
        QTest::newRow("timed out") << QNetworkReply::TimeoutError << false << false;
        QTest::newRow("refused") << QNetworkReply::ConnectionRefusedError << false << false;
        QTest::newRow("refused while abandoning") << QNetworkReply::ConnectionRefusedError << true << false;
        QTest::newRow("no error") << QNetworkReply::NoError << false << false;
    }

    void cancellation()
    {
        QFETCH(QNetworkReply::NetworkError, error);
        QFETCH(bool, abandoned);
        QFETCH(bool, expected);
        QCOMPARE(isCancellation(error, abandoned), expected);
    }
};

QTEST_GUILESS_MAIN(tst_ErrorLog)
#include "tst_ErrorLog.moc"
