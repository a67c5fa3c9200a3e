// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "model/SiteDirectory.h"
#include "support/StoreTesting.h"

#include <QDir>
#include <QProcess>
#include <QRandomGenerator>
#include <QThread>
#include <QTest>

#include <csignal>

class tst_StoreCrashSafety : public QObject
{
    Q_OBJECT

private slots:
    // A store killed in the middle of a save leaves either the file it had or the one it was
    // writing, never a mix or a truncated text that the next launch would have to set aside, nor,
    // once loaded again, a copy of the data beside it.
    void killedMidSaveLeavesOldOrNewContent()
    {
        StoreFixture fixture;
        const QString folder = fixture.folder();
        QList<SiteRecord> unmarked;
        {
            SiteDirectory directory(folder, fixture.environment());
            QSet<QString> ids;
            for (int n = 0; n < 600; ++n)
                ids.insert(QStringLiteral("site-%1").arg(n, 5, 10, QLatin1Char('0')));
            directory.reconcile({}, {}, ids, {});
            unmarked = directory.sites();
            QCOMPARE(unmarked.size(), 600);
        }
        QList<SiteRecord> marked = unmarked;
        for (SiteRecord &site : marked)
            site.publishingConnectedAt = fixture.clock.now();

        // The child is killed anyway: spare it the slow leak-hunting stack traces of the tests.
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("ASAN_OPTIONS"),
                           QStringLiteral("fast_unwind_on_malloc=1:detect_leaks=0"));

        int killedMidRun = 0;
        for (int round = 0; round < 15; ++round) {
            QProcess writer;
            writer.setProcessEnvironment(environment);
            writer.start(QStringLiteral(STORE_CRASH_WRITER), {folder});
            QVERIFY(writer.waitForStarted());
            // Kill during a write, a different one each round, at a random point of it: the jitter
            // is what spreads the kills over opening, writing, flushing and renaming.
            const int writes = QRandomGenerator::global()->bounded(1, 4);
            int announced = 0;
            while (announced < writes) {
                if (!writer.canReadLine())
                    QVERIFY2(writer.waitForReadyRead(30000), "the writer stopped announcing writes");
                while (writer.canReadLine() && announced < writes) {
                    QCOMPARE(writer.readLine(), QByteArray("writing\n"));
                    ++announced;
                }
            }
            QThread::usleep(QRandomGenerator::global()->bounded(3000));
            QCOMPARE(::kill(static_cast<pid_t>(writer.processId()), SIGKILL), 0);
            QVERIFY(writer.waitForFinished(30000));
            if (writer.exitStatus() == QProcess::CrashExit)
                ++killedMidRun;

            SiteDirectory reread(folder, fixture.environment());
            QVERIFY2(reread.persistenceWritable(), qPrintable(reread.persistenceIssue()));
            QVERIFY2(reread.sites() == unmarked || reread.sites() == marked,
                     qPrintable(QStringLiteral("round %1: neither old nor new content").arg(round)));
            // A save killed between linking its temporary file and renaming it leaves a full copy
            // of the data; loading takes it away.
            QCOMPARE(QDir(folder).entryList(QDir::Files), QStringList{QStringLiteral("sites.json")});
        }
        QCOMPARE(killedMidRun, 15);
    }
};

QTEST_GUILESS_MAIN(tst_StoreCrashSafety)
#include "tst_StoreCrashSafety.moc"
