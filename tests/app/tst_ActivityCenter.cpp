// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "app/ActivityCenter.h"
#include "app/ConfirmQueue.h"
#include "cli/ClaudeDriver.h"
#include "cli/OperationRegistry.h"
#include "support/ManualClock.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using Outcome = ActivitySheet::Outcome;
using Kind = ActivitySheet::Kind;

// The activity sheet's log shows whole redacted lines within its limits, and cancel, retry and close
// act only on the sheet they were meant for.
class tst_ActivityCenter : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_scratch;
    ManualClock m_clock;
    std::unique_ptr<ClaudeCLI::ClaudeDriver> m_driver;
    std::unique_ptr<ActivityCenter> m_center;

    QUuid openRunning(Kind kind = Kind::authorizing, const std::optional<QString> &subject = QStringLiteral("webflow-acme"))
    {
        return m_center->open(kind, QStringLiteral("Authorizing webflow-acme"), subject, QStringLiteral("A note."));
    }

    QString log() const { return m_center->sheet() ? m_center->sheet()->log : QStringLiteral("<no sheet>"); }

private slots:
    void init()
    {
        ClaudeCLI::DriverConfiguration configuration;
        configuration.loginShell = QStringLiteral("/bin/sh");
        configuration.temporaryFolder = m_scratch.path();
        m_driver = std::make_unique<ClaudeCLI::ClaudeDriver>(configuration);
        m_center = std::make_unique<ActivityCenter>(*m_driver, m_clock);
    }

    void cleanup()
    {
        m_center.reset();
        m_driver.reset();
    }

    void opening()
    {
        const QUuid id = openRunning();
        QVERIFY(m_center->sheet());
        QCOMPARE(m_center->sheet()->id, id);
        QCOMPARE(m_center->sheet()->startedAt, m_clock.now());
        QCOMPARE(m_center->sheet()->outcome, Outcome::running);
        QCOMPARE(m_center->sheet()->log, QString());
        QCOMPARE(ClaudeCLI::claudeAuthKey().size(), 12);
        QCOMPARE(ClaudeCLI::claudeAuthKey().at(0), QChar(u'\0'));
    }

    void lines_data()
    {
        QTest::addColumn<QStringList>("chunks");
        QTest::addColumn<QString>("expected");

        const QString line4095 = QString(4095, u'a');
        const QString marker = QStringLiteral("‹unterminated output redacted›\n");
        QTest::newRow("two chunks make one line") << QStringList{"Open", "ing browser\n"} << "Opening browser\n";
        QTest::newRow("a secret split across chunks is redacted")
            << QStringList{"key sk-abcd", "efgh1234 end\n"} << "key ‹redacted› end\n";
        QTest::newRow("no line end never shows") << QStringList{"waiting", " still"} << "";
        QTest::newRow("a carriage return ends a line") << QStringList{"one\rtwo\r"} << "one\rtwo\r";
        QTest::newRow("4096 bytes with the line end show") << QStringList{line4095 + "\n"} << line4095 + "\n";
        QTest::newRow("4097 bytes in one chunk") << QStringList{line4095 + "b\n"} << marker;
        QTest::newRow("4097 bytes over chunks") << QStringList{line4095.left(2000), line4095.mid(2000) + "b", "\n"}
                                                << marker;
        QTest::newRow("a 4096-byte fragment then its line end")
            << QStringList{line4095 + "b", "\nnext\n"} << marker + "next\n";
        QTest::newRow("multi-byte characters count in UTF-8")
            << QStringList{QString(2048, QChar(0x00E9)) + "\n"} << marker;
        QTest::newRow("past the limit: marker at once, rest of the line dropped, next line shown")
            << QStringList{line4095 + "bc", "more of it", " and the end\nnext line\n"} << marker + "next line\n";
    }

    void lines()
    {
        QFETCH(QStringList, chunks);
        QFETCH(QString, expected);
        const QUuid id = openRunning();
        for (const QString &chunk : chunks)
            m_center->appendActivityLog(chunk, id);
        QCOMPARE(log(), expected);
    }

    void fragmentDroppedAtFinish()
    {
        const QUuid id = openRunning();
        m_center->appendActivityLog(QStringLiteral("done\npartial"), id);
        m_center->finishActivity(id, Outcome::success);
        m_center->appendActivityLog(QStringLiteral(" line\n"), id);
        QCOMPARE(log(), QStringLiteral("done\n"));
        QCOMPARE(m_center->sheet()->outcome, Outcome::success);
    }

    void logLimit()
    {
        const QUuid id = openRunning();
        const QString trimMarker = QStringLiteral("…earlier output trimmed…\n");
        // 40 lines of 999 characters and a line end: exactly 40000 characters.
        const QString line = QString(999, u'x') + u'\n';
        for (int i = 0; i < 40; ++i)
            m_center->appendActivityLog(line, id);
        QCOMPARE(log().size(), 40000);
        QVERIFY(!log().startsWith(trimMarker));

        // One character more: the newest 40000 begin inside the first line, which goes.
        m_center->appendActivityLog(QStringLiteral("y\n"), id);
        QCOMPARE(log(), trimMarker + line.repeated(39) + QStringLiteral("y\n"));
    }

    void logLimitWithoutLineFeeds()
    {
        const QUuid id = openRunning();
        const QString trimMarker = QStringLiteral("…earlier output trimmed…\n");
        // Carriage returns end lines but do not count when trimming.
        const QString line = QString(999, u'x') + u'\r';
        for (int i = 0; i < 40; ++i)
            m_center->appendActivityLog(line, id);
        m_center->appendActivityLog(QStringLiteral("\r"), id);
        QCOMPARE(log(), trimMarker + (line.repeated(40) + u'\r').right(40000));
    }

    void logLimitCountsCharacters()
    {
        const QUuid id = openRunning();
        // Each "é" is two code units but one character: 30000 characters stay under the limit.
        const QString line = QStringLiteral("e\u0301").repeated(999) + u'\n';
        for (int i = 0; i < 30; ++i)
            m_center->appendActivityLog(line, id);
        QCOMPARE(log(), line.repeated(30));
    }

    void droppedOutput_data()
    {
        QTest::addColumn<QString>("state");
        QTest::newRow("another sheet shown") << "replaced";
        QTest::newRow("finished") << "finished";
        QTest::newRow("cancelled") << "cancelled";
        QTest::newRow("closed") << "closed";
    }

    void droppedOutput()
    {
        QFETCH(QString, state);
        const QUuid id = openRunning();
        m_center->appendActivityLog(QStringLiteral("before\n"), id);
        if (state == "replaced")
            openRunning();
        else if (state == "finished")
            m_center->finishActivity(id, Outcome::failure);
        else if (state == "cancelled")
            m_center->cancelActivity(id);
        else
            m_center->closeActivity();
        const QString logBefore = log();
        m_center->appendActivityLog(QStringLiteral("after\n"), id);
        QCOMPARE(log(), logBefore);
    }

    void newSheetDropsEveryCarry()
    {
        const QUuid first = openRunning();
        m_center->appendActivityLog(QStringLiteral("half a "), first);
        const QUuid second = openRunning();
        m_center->appendActivityLog(QStringLiteral("line\n"), second);
        QCOMPARE(log(), QStringLiteral("line\n"));
        Q_UNUSED(first);
    }

    void cancelEndsTheLog()
    {
        const QUuid id = openRunning();
        m_center->appendActivityLog(QStringLiteral("working\npartial"), id);
        m_center->cancelActivity(id);
        m_center->appendActivityLog(QStringLiteral("\n✕ Authorization failed\n"), id);
        QCOMPARE(log(), QStringLiteral("working\n\n✕ Cancelling…\n"));
        QVERIFY(m_center->isCancelled(id));
        // The owning flow reports the outcome when its command returns.
        QCOMPARE(m_center->sheet()->outcome, Outcome::running);
        m_center->finishActivity(id, Outcome::failure);
        QCOMPARE(m_center->sheet()->outcome, Outcome::failure);
        m_center->forget(id);
        QVERIFY(!m_center->isCancelled(id));
    }

    void cancelOnlyTheRunningShownSheet()
    {
        const QUuid finished = openRunning();
        m_center->finishActivity(finished, Outcome::success);
        m_center->cancelActivity(finished);
        QVERIFY(!m_center->isCancelled(finished));
        QVERIFY(!log().contains(QStringLiteral("Cancelling")));

        const QUuid replaced = openRunning();
        openRunning();
        m_center->cancelActivity(replaced);
        QVERIFY(!m_center->isCancelled(replaced));
    }

    void cancelPublishingEndsAtOnce()
    {
        QList<QUuid> stopped;
        ActivityCenter::Hooks hooks;
        hooks.cancelPublishing = [&stopped](const QUuid &id) { stopped.append(id); };
        m_center->setHooks(hooks);
        const QUuid id = openRunning(Kind::connectingPublishing, QStringLiteral("Acme"));
        m_center->cancelActivity(id);
        QCOMPARE(stopped, QList<QUuid>{id});
        QCOMPARE(m_center->sheet()->outcome, Outcome::failure);
    }

    void retryWaitsForTheRunToEnd()
    {
        QStringList started;
        ActivityCenter::Hooks hooks;
        hooks.startRetry = [&started](const QString &subject) { started.append(subject); };
        m_center->setHooks(hooks);
        const QUuid id = openRunning();
        QSignalSpy retryChanged(m_center.get(), &ActivityCenter::pendingRetryChanged);
        m_center->retryActivity(QStringLiteral("webflow-acme"));
        QCOMPARE(m_center->pendingRetry(), std::optional<QString>(QStringLiteral("webflow-acme")));
        QCOMPARE(retryChanged.size(), 1);
        QVERIFY(log().endsWith(QStringLiteral("↻ Retry queued: waiting for the cancelled run to wind down…\n")));
        // The old run ends the ordinary way, with its own lines.
        m_center->appendActivityLog(QStringLiteral("✕ Login failed\n"), id);
        QVERIFY(log().endsWith(QStringLiteral("✕ Login failed\n")));
        m_center->finishActivity(id, Outcome::failure);
        QVERIFY(started.isEmpty());
        m_center->resumePendingRetry();
        QVERIFY(!m_center->pendingRetry());
        QTRY_COMPARE(started, QStringList{QStringLiteral("webflow-acme")});
    }

    void retryWaitsForAFlowStillAtWorkAfterItsSheetFinished()
    {
        QStringList started;
        ActivityCenter::Hooks hooks;
        hooks.startRetry = [&started](const QString &subject) { started.append(subject); };
        m_center->setHooks(hooks);
        const QUuid id = openRunning();
        m_center->setSubject(id, QStringLiteral("webflow-acme"));
        // The sheet is finished but its flow still cleans up the over-broad grant.
        m_center->finishActivity(id, Outcome::warning);
        m_center->retryActivity(QStringLiteral("webflow-acme"));
        QTest::qWait(0);
        QVERIFY(started.isEmpty());
        QVERIFY(m_center->pendingRetry());
        m_center->forget(id);
        m_center->resumePendingRetry();
        QTRY_COMPARE(started, QStringList{QStringLiteral("webflow-acme")});
    }

    void closeDropsTheRetryAndCancels()
    {
        QStringList started;
        int closed = 0;
        ActivityCenter::Hooks hooks;
        hooks.startRetry = [&started](const QString &subject) { started.append(subject); };
        hooks.closed = [&closed] { ++closed; };
        m_center->setHooks(hooks);
        const QUuid id = openRunning();
        m_center->retryActivity(QStringLiteral("webflow-acme"));
        m_center->closeActivity();
        QVERIFY(!m_center->sheet());
        QVERIFY(!m_center->pendingRetry());
        QVERIFY(m_center->isCancelled(id));
        QCOMPARE(closed, 1);
        m_center->resumePendingRetry();
        QTest::qWait(0);
        QVERIFY(started.isEmpty());
    }

    void openingForAnotherSubjectDropsItsRetry()
    {
        openRunning();
        m_center->retryActivity(QStringLiteral("webflow-acme"));
        m_center->dropRetryOfOtherSubject(QStringLiteral("webflow-acme"));
        QVERIFY(m_center->pendingRetry());
        m_center->dropRetryOfOtherSubject(QStringLiteral("webflow-other"));
        QVERIFY(!m_center->pendingRetry());
    }

    void confirmQueueKeepsOrder()
    {
        ConfirmQueue queue;
        QStringList ran;
        ConfirmRequest question;
        question.title = QStringLiteral("Remove?");
        question.action = [&] {
            ran.append(QStringLiteral("remove"));
            ConfirmRequest followUp;
            followUp.title = QStringLiteral("Removed");
            followUp.isNotice = true;
            queue.present(followUp);
        };
        ConfirmRequest notice;
        notice.title = QStringLiteral("Read-only");
        notice.isNotice = true;

        queue.present(question);
        queue.present(notice);
        QCOMPARE(queue.current()->title, QStringLiteral("Remove?"));
        // Answering the question shows the notice that waited, then the action's own.
        queue.confirmCurrent();
        QCOMPARE(ran, QStringList{QStringLiteral("remove")});
        QCOMPARE(queue.current()->title, QStringLiteral("Read-only"));
        queue.dismissConfirm();
        QCOMPARE(queue.current()->title, QStringLiteral("Removed"));
        queue.withdraw(queue.current()->id);
        QVERIFY(!queue.current());
        queue.confirmCurrent(); // nothing to confirm
    }
};

QTEST_GUILESS_MAIN(tst_ActivityCenter)
#include "tst_ActivityCenter.moc"
