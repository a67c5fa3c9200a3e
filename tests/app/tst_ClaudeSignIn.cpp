// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "app/ModelHarness.h"
#include "cli/OperationRegistry.h"

using namespace std::chrono_literals;

namespace {

using Outcome = ActivitySheet::Outcome;
using Reply = FakeClaude::Reply;
using State = ClaudeCLI::AuthStatus::State;

QString signInSubject()
{
    return ClaudeCLI::claudeAuthKey();
}
const QStringList kLogin{QStringLiteral("auth"), QStringLiteral("login")};

const Reply kLoginSucceeds{"Opening the browser to sign in\n", {}, 0, false, std::nullopt};
const Reply kLoginFails{"Login failed: the code expired\n", {}, 1, false, std::nullopt};
const Reply kSignedInAs{R"({"loggedIn": true, "email": "dana@example.com"})", {}, 0, false, std::nullopt};

} // namespace

// Signing claude itself in: the login runs under a terminal in a sheet, and claude's own sign-in
// status, asked afterwards, decides what the sheet reports.
class tst_ClaudeSignIn : public QObject
{
    Q_OBJECT

private:
    static void signIn(ModelHarness &harness) { QCoro::waitFor(harness.model->claudeSignIn().signInToClaude()); }

    static QList<FakeClaude::Call> logins(const ModelHarness &harness)
    {
        QList<FakeClaude::Call> found;
        for (const FakeClaude::Call &call : harness.claude.callRecords()) {
            if (call.arguments == kLogin)
                found.append(call);
        }
        return found;
    }

private slots:
    void outcomes_data()
    {
        QTest::addColumn<Reply>("login");
        QTest::addColumn<Reply>("status");
        QTest::addColumn<QString>("lastLine");
        QTest::addColumn<Outcome>("outcome");
        QTest::addColumn<State>("state");
        QTest::addColumn<bool>("logged");

        const QString signedOut = QStringLiteral("\n✕ Still signed out. Check the browser window, or try again.\n");
        const QString unconfirmed = QStringLiteral("\n⚠ Sign-in finished, but confirming it timed out. Run a scope "
                                                   "check, or reopen the panel, to confirm.\n");
        Reply hangs{R"({"loggedIn": true})", {}, 0, true, std::nullopt};

        QTest::newRow("signed in with an address")
            << kLoginSucceeds << kSignedInAs << QStringLiteral("\n✓ Signed in as dana@example.com.\n") << Outcome::success
            << State::signedIn << false;
        QTest::newRow("signed in without an address")
            << kLoginSucceeds << Reply{R"({"loggedIn": true})", {}, 0, false, std::nullopt}
            << QStringLiteral("\n✓ Signed in.\n") << Outcome::success << State::signedIn << false;
        QTest::newRow("run failed, signed in anyway")
            << kLoginFails << kSignedInAs << QStringLiteral("\n✓ Signed in as dana@example.com.\n") << Outcome::success
            << State::signedIn << false;
        QTest::newRow("status check times out after a good login")
            << kLoginSucceeds << hangs << unconfirmed << Outcome::warning << State::unknown << false;
        QTest::newRow("status unreadable after a good login")
            << kLoginSucceeds << Reply{"something else", {}, 0, false, std::nullopt} << unconfirmed
            << Outcome::warning << State::unknown << false;
        QTest::newRow("run failed, status unknown")
            << kLoginFails << hangs << signedOut << Outcome::failure << State::unknown << true;
        QTest::newRow("still signed out")
            << kLoginSucceeds << Reply{R"({"loggedIn": false})", {}, 0, false, std::nullopt} << signedOut
            << Outcome::failure << State::signedOut << true;
    }

    void outcomes()
    {
        QFETCH(Reply, login);
        QFETCH(Reply, status);
        QFETCH(QString, lastLine);
        QFETCH(Outcome, outcome);
        QFETCH(State, state);
        QFETCH(bool, logged);
        ModelHarness harness;
        // Only a status query that hangs meets the short limit; a loaded machine answers the
        // others well within the real one.
        harness.model->claudeSignIn().setLimits({60000ms, status.hangs ? 500ms : 15000ms});
        harness.claude.answer(QStringLiteral("auth login"), login);
        harness.claude.answer(QStringLiteral("auth status"), status);
        QList<bool> busyWhileRunning;
        connect(harness.model.get(), &AppModel::busyChanged, this,
                [&] { busyWhileRunning.append(harness.model->busy().contains(signInSubject())); });

        signIn(harness);

        const std::optional<ActivitySheet> &sheet = harness.model->activity().sheet();
        QVERIFY(sheet);
        QCOMPARE(sheet->kind, ActivitySheet::Kind::authorizing);
        QCOMPARE(sheet->title, QStringLiteral("Signing in to Claude"));
        QCOMPARE(sheet->subject, std::optional(signInSubject()));
        QCOMPARE(sheet->note, QStringLiteral("A browser window will open. Sign in with the Anthropic account you use "
                                             "for Claude Code."));
        QCOMPARE(sheet->outcome, outcome);
        QVERIFY2(sheet->log.endsWith(lastLine), qPrintable(sheet->log));
        QVERIFY2(sheet->log.startsWith(QString::fromUtf8(login.standardOutput)), qPrintable(sheet->log));
        QCOMPARE(harness.model->claudeAuth().state, state);
        QCOMPARE(harness.logged(QStringLiteral("auth-login")),
                 logged ? QStringList{QStringLiteral("Claude sign-in did not complete successfully.")} : QStringList{});
        QCOMPARE(busyWhileRunning, (QList<bool>{true, false}));
        // The login had a terminal to open the browser from; the status query did not need one.
        QCOMPARE(logins(harness), (QList<FakeClaude::Call>{{kLogin, true}}));
    }

    // Retry while the login runs: the old run is stopped and ends with its own lines, then a new
    // sign-in opens its own sheet.
    void retryDuringTheRun()
    {
        ModelHarness harness;
        harness.claude.answerInTurn(QStringLiteral("auth login"),
                                    {{"Waiting for the browser\n", {}, 0, true, std::nullopt}, kLoginSucceeds});
        harness.claude.answer(QStringLiteral("auth status"), kSignedInAs);
        ActivityCenter &activity = harness.model->activity();

        QCoro::Task<> first = harness.model->claudeSignIn().signInToClaude();
        const QUuid firstSheet = activity.sheet()->id;
        QTRY_VERIFY(activity.sheet()->log.contains(u"Waiting for the browser"));
        activity.retryActivity(signInSubject());
        QVERIFY(activity.sheet()->log.contains(u"↻ Retry queued: waiting for the cancelled run to wind down…\n"));
        QCoro::waitFor(std::move(first));

        QTRY_VERIFY(activity.sheet()->id != firstSheet);
        QCOMPARE(activity.sheet()->title, QStringLiteral("Signing in to Claude"));
        QTRY_COMPARE(activity.sheet()->outcome, Outcome::success);
        QTRY_VERIFY(!harness.model->busy().contains(signInSubject()));
        QCOMPARE(logins(harness), (QList<FakeClaude::Call>{{kLogin, true}, {kLogin, true}}));
    }

    // A retry queued for a connection gives way to the sign-in; one queued for the sign-in itself
    // stays and runs after it.
    void pendingRetriesOfOtherSubjectsAreDropped()
    {
        ModelHarness harness;
        harness.claude.answer(QStringLiteral("auth login"), kLoginSucceeds);
        harness.claude.answer(QStringLiteral("auth status"), kSignedInAs);
        ActivityCenter &activity = harness.model->activity();
        activity.retryActivity(QStringLiteral("webflow-acme"));
        QCOMPARE(activity.pendingRetry(), std::optional(QStringLiteral("webflow-acme")));

        signIn(harness);

        QCOMPARE(activity.pendingRetry(), std::nullopt);
        QCOMPARE(activity.sheet()->outcome, Outcome::success);
        QTest::qWait(0);
        QCOMPARE(logins(harness).size(), 1);
    }

    // A Cancel that reaches claude's driver after the login ended is not left waiting for the
    // next sign-in.
    void cancelAfterTheRunEndedDoesNotStopTheNext()
    {
        ModelHarness harness;
        harness.claude.answer(QStringLiteral("auth login"), kLoginSucceeds);
        Reply slowStatus = kSignedInAs;
        slowStatus.delay = 300ms;
        harness.claude.answer(QStringLiteral("auth status"), slowStatus);
        ActivityCenter &activity = harness.model->activity();

        QCoro::Task<> first = harness.model->claudeSignIn().signInToClaude();
        QTRY_COMPARE(harness.callsOf(QStringLiteral("auth"), QStringLiteral("status")).size(), 1);
        activity.cancelActivity(activity.sheet()->id);
        QCoro::waitFor(std::move(first));
        QVERIFY(activity.sheet()->log.endsWith(u"✕ Cancelling…\n"));

        signIn(harness);

        QCOMPARE(logins(harness).size(), 2);
        QCOMPARE(activity.sheet()->outcome, Outcome::success);
        QVERIFY(activity.sheet()->log.endsWith(u"\n✓ Signed in as dana@example.com.\n"));
    }
};

QTEST_MAIN(tst_ClaudeSignIn)
#include "tst_ClaudeSignIn.moc"
