// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "cli/ClaudeDriver.h"
#include "cli/StatusQueries.h"
#include "cli/TerminalRunner.h"
#include "support/FakeClaude.h"
#include "support/TempHome.h"
#include "support/TestScript.h"

#include <QFile>
#include <QMutex>
#include <QCoroTask>
#include <QTest>

using namespace std::chrono_literals;
using ClaudeCLI::TerminalOptions;
using ClaudeCLI::TerminalRunResult;

namespace {

/// Collects the pieces a run streams, from whichever thread they come.
struct Pieces
{
    QMutex lock;
    QStringList received;

    ClaudeCLI::OutputHandler handler()
    {
        return [this](const QString &piece) {
            QMutexLocker locker(&lock);
            received.append(piece);
        };
    }
};

} // namespace

class tst_TerminalRunner : public QObject
{
    Q_OBJECT

private:
    TempHome m_home;
    ClaudeCLI::ClaudeDriver m_driver{configuration()};
    int m_scripts = 0;

    static ClaudeCLI::DriverConfiguration configuration()
    {
        ClaudeCLI::DriverConfiguration configuration;
        configuration.loginKillGrace = 300ms;
        return configuration;
    }

    TerminalRunResult ptyRun(const QString &key, const QStringList &arguments, Pieces &pieces, TerminalOptions options)
    {
        return QCoro::waitFor(ClaudeCLI::ptyRun(m_driver, key, arguments, pieces.handler(), std::move(options)));
    }

    TerminalOptions scripted(const QByteArray &body)
    {
        TerminalOptions options;
        options.executable = writeTestScript(m_home.filePath(QStringLiteral("bin/tty-%1").arg(++m_scripts)), body);
        options.killGrace = 300ms;
        return options;
    }

private slots:
    void terminalAndCleanedOutput()
    {
        Pieces pieces;
        const TerminalRunResult result =
            ptyRun(QStringLiteral("webflow-site"), {}, pieces,
                              scripted("stty size\n"
                                       "[ -t 0 ] && [ -t 1 ] && [ -t 2 ] && echo all-terminals\n"
                                       "printf 'Open \\033]8;;https://example.com/a\\007the link\\033]8;;\\033\\\\ now\\n'\n"
                                       "printf 'kept \\033]8;id=1;https://x\\007\\n'\n"
                                       "printf '\\033[1;32mgreen\\033[0m\\033[?25l\\n'\n"
                                       "printf '\\033[2K\\r\\r'\n"));
        QCOMPARE(result, (TerminalRunResult{true, QStringLiteral("Authenticated webflow-site")}));
        const QString output = pieces.received.join(QString());
        QCOMPARE(output, QStringLiteral("60 400\nall-terminals\nOpen the link now\nkept \x1b]8;id=1;https://x\x07\ngreen\n"));
        for (const QString &piece : std::as_const(pieces.received))
            QVERIFY(!piece.isEmpty());
    }

    void charactersAreNeverSplit_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QString>("expected");

        QTest::newRow("two-byte character") << QByteArray("printf 'caf\\303'; sleep 0.3; printf '\\251!\\n'")
                                            << QStringLiteral("caf\u00E9!\n");
        QTest::newRow("four-byte character") << QByteArray("printf 'go \\360\\237'; sleep 0.3; printf '\\232\\200\\n'")
                                             << QStringLiteral("go \U0001F680\n");
        // Qt replaces each byte of the unfinished sequence.
        QTest::newRow("cut short at the end") << QByteArray("printf 'end \\342\\202'") << QStringLiteral("end \uFFFD\uFFFD");
    }

    void charactersAreNeverSplit()
    {
        QFETCH(QByteArray, body);
        QFETCH(QString, expected);
        Pieces pieces;
        // A terminal in raw mode keeps the line feeds as they are written.
        const TerminalRunResult result = ptyRun(QStringLiteral("split"), {}, pieces, scripted("stty raw -echo\n" + body));
        QVERIFY(result.ok);
        QCOMPARE(pieces.received.join(QString()), expected);
        for (const QString &piece : std::as_const(pieces.received)) {
            if (!expected.contains(u'\uFFFD'))
                QVERIFY2(!piece.contains(u'\uFFFD'), qPrintable(piece));
        }
    }

    void failureAnswersTheTrimmedOutput()
    {
        Pieces pieces;
        const TerminalRunResult result =
            ptyRun(QStringLiteral("failing"), {}, pieces, scripted("echo '  Login failed: denied  '; exit 1"));
        QCOMPARE(result, (TerminalRunResult{false, QStringLiteral("Login failed: denied")}));
    }

    void signInKeyIsShownWithoutItsNul()
    {
        Pieces pieces;
        const TerminalRunResult result = ptyRun(ClaudeCLI::claudeAuthKey(), {}, pieces, scripted("exit 0"));
        QCOMPARE(result, (TerminalRunResult{true, QStringLiteral("Authenticated claude-auth")}));
        QVERIFY(!result.message.contains(QChar(u'\0')));
    }

    void busyKeyIsRefusedAndCancelEndsTheRun()
    {
        const QString key = QStringLiteral("webflow-busy");
        const QString started = m_home.filePath(QStringLiteral("tty-started"));
        Pieces pieces;
        QCoro::Task<TerminalRunResult> first = ClaudeCLI::ptyRun(
            m_driver, key, {started}, pieces.handler(), scripted("echo 'Waiting for the browser'; touch \"$1\"; exec sleep 30"));
        QTRY_VERIFY(QFile::exists(started));

        Pieces none;
        const TerminalRunResult second = ptyRun(key, {}, none, scripted("exit 0"));
        QCOMPARE(second, (TerminalRunResult{false, QStringLiteral("An authorization for webflow-busy is already running.")}));
        QVERIFY(!first.isReady());

        m_driver.logins().cancel(key);
        QCOMPARE(QCoro::waitFor(std::move(first)), (TerminalRunResult{false, QStringLiteral("Waiting for the browser")}));
    }

    void cancellationBeforeTheLaunchRunsNothing()
    {
        const QString marker = m_home.filePath(QStringLiteral("tty-ran"));
        m_driver.logins().cancel(QStringLiteral("webflow-early"));
        Pieces pieces;
        const TerminalRunResult result = ptyRun(QStringLiteral("webflow-early"), {marker}, pieces, scripted("touch \"$1\""));
        QCOMPARE(result, (TerminalRunResult{false, QStringLiteral("Authorization cancelled before it started.")}));
        QVERIFY(!QFile::exists(marker));
    }

    void timeLimit()
    {
        TerminalOptions options = scripted("trap '' TERM; exec sleep 30");
        options.timeout = 300ms;
        Pieces pieces;
        const TerminalRunResult result = ptyRun(QStringLiteral("slow"), {}, pieces, options);
        QCOMPARE(result, (TerminalRunResult{false, QStringLiteral("Timed out waiting for authorization.")}));
    }

    void launchFailureIsTheSystemsText()
    {
        TerminalOptions options;
        options.executable = m_home.filePath(QStringLiteral("missing"));
        Pieces pieces;
        QCOMPARE(ptyRun(QStringLiteral("missing"), {}, pieces, options),
                 (TerminalRunResult{false, QStringLiteral("No such file or directory")}));
    }

    // The scripted claude that the application's tests use sees the login's terminal, and answers
    // a command's calls in turn.
    void fakeClaudeSeesTheLoginTerminal()
    {
        TempHome home;
        FakeClaude claude(home);
        ClaudeCLI::ClaudeDriver driver(claude.configuration());
        claude.answerInTurn(QStringLiteral("mcp login"),
                            {{{}, "Login failed: denied\n", 1, false, std::nullopt}, {"Authenticated\n", {}, 0, false, std::nullopt}});
        claude.answer(QStringLiteral("mcp get"), {"Status: ✔ Connected\n", {}, 0, false, std::nullopt});
        Pieces pieces;
        const QString site = QStringLiteral("webflow-site");

        QCOMPARE(QCoro::waitFor(ClaudeCLI::loginArguments(driver, site, pieces.handler())),
                 (TerminalRunResult{false, QStringLiteral("Login failed: denied")}));
        QCOMPARE(QCoro::waitFor(ClaudeCLI::loginArguments(driver, site, pieces.handler())),
                 (TerminalRunResult{true, QStringLiteral("Authenticated webflow-site")}));
        QCOMPARE(QCoro::waitFor(ClaudeCLI::loginArguments(driver, site, pieces.handler())).ok, true);
        QCOMPARE(QCoro::waitFor(ClaudeCLI::serverStatus(driver, site)), ConnectionStatus::connected);

        const QStringList login = {QStringLiteral("mcp"), QStringLiteral("login"), site};
        QCOMPARE(claude.callRecords(), (QList<FakeClaude::Call>{{login, true}, {login, true}, {login, true},
                                                                {{QStringLiteral("mcp"), QStringLiteral("get"), site}, false}}));
    }

    void refusedNames_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("shown");
        QTest::newRow("other lane") << "quorvane-beta-webflow-site" << "quorvane-beta-webflow-site";
        QTest::newRow("unsafe") << "site; rm -rf" << "site; rm -rf";
        QTest::newRow("empty") << "" << "";
        QTest::newRow("line break shown cleaned") << "webflow-a\nb" << "webflow-a·b";
        QTest::newRow("long name cut") << QString(130, u'x') + u' ' << QString(120, u'x') + u'…';
    }

    void refusedNames()
    {
        QFETCH(QString, name);
        QFETCH(QString, shown);
        Pieces pieces;
        QCOMPARE(QCoro::waitFor(ClaudeCLI::loginArguments(m_driver, name, pieces.handler())),
                 (TerminalRunResult{false, u'"' + shown + QStringLiteral("\" is not a name this app will pass to the CLI.")}));
    }
};

QTEST_GUILESS_MAIN(tst_TerminalRunner)
#include "tst_TerminalRunner.moc"
