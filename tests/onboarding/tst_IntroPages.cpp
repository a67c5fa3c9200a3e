// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "onboarding/IntroPages.h"

#include "account/AccountModel.h"
#include "cli/OperationRegistry.h"

#include <QTest>

using Session = AccountModel::SessionKind;

namespace {

IntroPage page(const char *symbol, IntroPages::Tone tone, const QString &status, const QString &explanation,
               const QString &button, bool prominent, IntroPages::Action action)
{
    return {QString::fromLatin1(symbol), tone, status, explanation, button, prominent, action};
}

} // namespace

// Every variant of the introduction's pages for the state it reads, the fixed tips, and when the
// introduction lets a running sign-in's sheet cover it.
class tst_IntroPages : public QObject
{
    Q_OBJECT

private slots:
    void claudePage_data()
    {
        QTest::addColumn<QString>("auth");
        QTest::addColumn<QString>("email");
        QTest::addColumn<IntroPage>("shown");
        QTest::addColumn<IntroPage>("lastPage");
        const QString done = "Nothing to do here. Quorvane drives the Claude Code CLI, so it needs an Anthropic session "
                             "to check what your connections can reach.";
        const IntroPage addFirst = page("", IntroPages::Secondary, {}, "Add your first project.", "Add a project",
                                        true, IntroPages::AddProject);
        QTest::newRow("signed in with an address")
            << "signedIn" << "ada@example.com"
            << page("checkmark.circle.fill", IntroPages::Green, "Signed in as ada@example.com", done, {}, false,
                    IntroPages::NoAction)
            << addFirst;
        QTest::newRow("signed in without one")
            << "signedIn" << ""
            << page("checkmark.circle.fill", IntroPages::Green, "Signed in", done, {}, false, IntroPages::NoAction)
            << addFirst;
        QTest::newRow("signed out")
            << "signedOut" << ""
            << page("xmark.circle.fill", IntroPages::Red, "Not signed in",
                    "Quorvane drives the Claude Code CLI. Without a session it can add connections but cannot verify "
                    "what they reach.",
                    "Sign in", true, IntroPages::SignInToClaude)
            << page("", IntroPages::Secondary, {}, "First, sign into Claude.", "Sign in", true,
                    IntroPages::SignInToClaude);
        const IntroPage couldNotCheck =
            page("questionmark.circle.fill", IntroPages::Secondary, "Couldn't check",
                 "The Claude Code CLI didn't answer. If it isn't installed yet, install it first. Everything here runs "
                 "through it.",
                 "Check again", false, IntroPages::CheckClaude);
        QTest::newRow("unknown") << "unknown" << "" << couldNotCheck << addFirst;
        QTest::newRow("a status the model never names counts as unknown") << "" << "" << couldNotCheck << addFirst;
    }

    void claudePage()
    {
        QFETCH(QString, auth);
        QFETCH(QString, email);
        QFETCH(IntroPage, shown);
        QFETCH(IntroPage, lastPage);
        QCOMPARE(IntroPages::claudePage(auth, email), shown);
        QCOMPARE(IntroPages::getStartedPage(auth), lastPage);
    }

    void accountPage_data()
    {
        QTest::addColumn<bool>("hasProfile");
        QTest::addColumn<Session>("session");
        QTest::addColumn<IntroPage>("shown");
        QTest::addColumn<QString>("reason");
        const IntroPage byEmail = page("", IntroPages::Secondary, {}, "Sign in by email. No password, just a code.",
                                       "Sign in with email", true, IntroPages::SignInToAccount);
        QTest::newRow("nothing remembered") << false << Session::SignedOut << byEmail
                                            << IntroPages::accountSignInReason;
        QTest::newRow("nothing remembered, even with a live session") << false << Session::Authenticated << byEmail
                                                                      << IntroPages::accountSignInReason;
        QTest::newRow("signed in") << true << Session::Authenticated
                                   << page("checkmark.circle.fill", IntroPages::Green, "Signed in as ada@example.com",
                                           "Nothing else to do here.", {}, false, IntroPages::NoAction)
                                   << QString();
        QTest::newRow("checking") << true << Session::Checking
                                  << page("arrow.clockwise", IntroPages::Secondary, "Checking this computer's session",
                                          "Quorvane remembers your account while it verifies cloud access.", {}, false,
                                          IntroPages::NoAction)
                                  << QString();
        const IntroPage again = page("person.crop.circle.badge.exclamationmark", IntroPages::Orange,
                                     "Sign in again on this computer",
                                     "Quorvane remembers your account, but its cloud session is missing.",
                                     "Sign In Again", true, IntroPages::SignInToAccountAgain);
        const QString againReason = "Quorvane remembers your account, but this computer no longer has a sign-in "
                                    "session. Sign in again to reconnect cloud features.";
        QTest::newRow("signed out") << true << Session::SignedOut << again << againReason;
        QTest::newRow("sign-in needed again") << true << Session::ReauthenticationRequired << again << againReason;
        QTest::newRow("backend unreachable")
            << true << Session::TemporarilyUnavailable
            << page("cloud.slash", IntroPages::Orange, "Account session unavailable",
                    "Quorvane couldn't verify cloud access. Your remembered account stays available.", "Try Again",
                    false, IntroPages::RetryCloud)
            << QString();
    }

    void accountPage()
    {
        QFETCH(bool, hasProfile);
        QFETCH(Session, session);
        QFETCH(IntroPage, shown);
        QFETCH(QString, reason);
        const IntroPage page = IntroPages::accountPage(hasProfile, QStringLiteral("ada@example.com"), int(session));
        QCOMPARE(page, shown);
        QCOMPARE(IntroPages::signInReason(page.action), reason);
    }

    // The example names a server the way users read about it, whatever this build's prefix.
    void tips()
    {
        const QVariantList chat = IntroPages::useInChatTips();
        QCOMPARE(chat.size(), 4);
        QCOMPARE(chat.at(0).toMap().value("heading").toString(), QStringLiteral("Name the connection"));
        QCOMPARE(chat.at(0).toMap().value("body").toString(),
                 QStringLiteral("Say which one to use, e.g. \"use webflow-tovalin\". Claude routes the call to that "
                                "server."));
        QCOMPARE(chat.at(1).toMap().value("heading").toString(),
                 QStringLiteral("\"No tools available\"? Ask it to check for new MCP servers"));
        const QVariantList add = IntroPages::addProjectTips();
        QCOMPARE(add.size(), 3);
        QVERIFY(add.at(1).toMap().value("body").toString().startsWith(QStringLiteral("Never \"all sites\".")));
    }

    void whileClaudeSignsIn_data()
    {
        QTest::addColumn<QStringList>("busy");
        QTest::addColumn<bool>("hasSheet");
        QTest::addColumn<QString>("subject");
        QTest::addColumn<bool>("running");
        QTest::addColumn<bool>("raised");
        const QString key = ClaudeCLI::claudeAuthKey();
        QTest::newRow("claude's sign-in runs in its sheet") << QStringList{"webflow-acme", key} << true << key << true
                                                            << true;
        QTest::newRow("its sheet stays up with the outcome") << QStringList{} << true << key << false << true;
        QTest::newRow("a connection's authorization") << QStringList{"webflow-acme"} << true << "webflow-acme" << false
                                                      << false;
        QTest::newRow("a server named like the key without its NUL")
            << QStringList{"claude-auth"} << true << "claude-auth" << false << false;
        QTest::newRow("no sheet") << QStringList{} << false << QString() << false << false;
    }

    void whileClaudeSignsIn()
    {
        QFETCH(QStringList, busy);
        QFETCH(bool, hasSheet);
        QFETCH(QString, subject);
        QFETCH(bool, running);
        QFETCH(bool, raised);
        QCOMPARE(IntroPages::claudeSignInRunning(busy), running);
        QCOMPARE(IntroPages::raisesActivity(hasSheet, subject), raised);
    }
};

QTEST_GUILESS_MAIN(tst_IntroPages)
#include "tst_IntroPages.moc"
