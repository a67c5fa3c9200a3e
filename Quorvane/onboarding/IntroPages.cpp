// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "onboarding/IntroPages.h"

#include "account/AccountModel.h"
#include "cli/OperationRegistry.h"

namespace {

QVariantMap tip(const QString &heading, const QString &body)
{
    return {{QStringLiteral("heading"), heading}, {QStringLiteral("body"), body}};
}

} // namespace

IntroPage IntroPages::claudePage(const QString &claudeAuth, const QString &email)
{
    if (claudeAuth == QStringLiteral("signedIn"))
        return {QStringLiteral("checkmark.circle.fill"), Green,
                email.isEmpty() ? QStringLiteral("Signed in") : QStringLiteral("Signed in as ") + email,
                QStringLiteral("Nothing to do here. Quorvane drives the Claude Code CLI, so it needs an Anthropic session "
                               "to check what your connections can reach."),
                {}, false, NoAction};
    if (claudeAuth == QStringLiteral("signedOut"))
        return {QStringLiteral("xmark.circle.fill"), Red, QStringLiteral("Not signed in"),
                QStringLiteral("Quorvane drives the Claude Code CLI. Without a session it can add connections but cannot "
                               "verify what they reach."),
                QStringLiteral("Sign in"), true, SignInToClaude};
    return {QStringLiteral("questionmark.circle.fill"), Secondary, QStringLiteral("Couldn't check"),
            QStringLiteral("The Claude Code CLI didn't answer. If it isn't installed yet, install it first. Everything "
                           "here runs through it."),
            QStringLiteral("Check again"), false, CheckClaude};
}

IntroPage IntroPages::accountPage(bool hasProfile, const QString &email, int session)
{
    if (!hasProfile)
        return {{}, Secondary, {}, QStringLiteral("Sign in by email. No password, just a code."),
                QStringLiteral("Sign in with email"), true, SignInToAccount};
    using Kind = AccountModel::SessionKind;
    switch (Kind(session)) {
    case Kind::Authenticated:
        return {QStringLiteral("checkmark.circle.fill"), Green, QStringLiteral("Signed in as ") + email,
                QStringLiteral("Nothing else to do here."), {}, false, NoAction};
    case Kind::Checking:
        return {QStringLiteral("arrow.clockwise"), Secondary, QStringLiteral("Checking this computer's session"),
                QStringLiteral("Quorvane remembers your account while it verifies cloud access."), {}, false, NoAction};
    case Kind::SignedOut:
    case Kind::ReauthenticationRequired:
        return {QStringLiteral("person.crop.circle.badge.exclamationmark"), Orange,
                QStringLiteral("Sign in again on this computer"),
                QStringLiteral("Quorvane remembers your account, but its cloud session is missing."),
                QStringLiteral("Sign In Again"), true, SignInToAccountAgain};
    case Kind::TemporarilyUnavailable:
        break;
    }
    return {QStringLiteral("cloud.slash"), Orange, QStringLiteral("Account session unavailable"),
            QStringLiteral("Quorvane couldn't verify cloud access. Your remembered account stays available."),
            QStringLiteral("Try Again"), false, RetryCloud};
}

IntroPage IntroPages::getStartedPage(const QString &claudeAuth)
{
    if (claudeAuth == QStringLiteral("signedOut"))
        return {{}, Secondary, {}, QStringLiteral("First, sign into Claude."), QStringLiteral("Sign in"), true,
                SignInToClaude};
    return {{}, Secondary, {}, QStringLiteral("Add your first project."), QStringLiteral("Add a project"), true,
            AddProject};
}

QString IntroPages::addProjectExplanation()
{
    return QStringLiteral("Add New registers one Webflow MCP connection with Claude Code and opens Webflow's "
                          "authorization in a browser.");
}

QString IntroPages::useInChatExplanation()
{
    return QStringLiteral("Connections are registered with Claude Code itself, so any Claude Code or Cowork chat can "
                          "use them. Nothing to start here.");
}

QVariantList IntroPages::addProjectTips()
{
    return {tip(QStringLiteral("Name it after the client"),
                QStringLiteral("One connection per client site keeps each authorization separate.")),
            tip(QStringLiteral("Tick only that one site"),
                QStringLiteral("Never \"all sites\". A grant reaching several sites lets a chat touch a client you "
                               "didn't mean to open.")),
            tip(QStringLiteral("Verify scope after"),
                QStringLiteral("Asks Claude which sites the connection actually reaches, rather than trusting what "
                               "was ticked."))};
}

QVariantList IntroPages::useInChatTips()
{
    // The example always names a server the way the public builds do, whatever prefix this
    // build gives new servers: it is what users read about elsewhere.
    const QString example = QStringLiteral("Say which one to use, e.g. \"use ") + QStringLiteral("webflow-")
        + QStringLiteral("tovalin\". Claude routes the call to that server.");
    return {tip(QStringLiteral("Name the connection"), example),
            tip(QStringLiteral("\"No tools available\"? Ask it to check for new MCP servers"),
                QStringLiteral("A chat already open when you added the connection is still using the list it started "
                               "with. Asking Claude to look again usually picks it up; a new chat always will.")),
            tip(QStringLiteral("One client per chat"),
                QStringLiteral("Keeps a session from reaching across two clients' sites.")),
            tip(QStringLiteral("Re-authorize when it expires"),
                QStringLiteral("A connection showing Needs auth just needs the browser step again."))};
}

QString IntroPages::signInReason(int action)
{
    if (action == SignInToAccount)
        return accountSignInReason;
    if (action == SignInToAccountAgain)
        return accountSignInAgainReason;
    return {};
}

bool IntroPages::claudeSignInRunning(const QStringList &busy)
{
    return busy.contains(ClaudeCLI::claudeAuthKey());
}

bool IntroPages::raisesActivity(bool hasSheet, const QString &subject)
{
    return hasSheet && subject == ClaudeCLI::claudeAuthKey();
}

QColor IntroPages::toneColor(int tone, KitPalette::Scheme scheme)
{
    switch (Tone(tone)) {
    case Green:
        return KitPalette::systemGreen(scheme);
    case Red:
        return KitPalette::systemRed(scheme);
    case Orange:
        return KitPalette::systemOrange(scheme);
    case Secondary:
        break;
    }
    return KitPalette::secondaryLabel(scheme);
}
