// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "app/MoreMenuEntries.h"

using Kind = MoreMenuEntries::Kind;
using Command = MoreMenuEntries::Command;
using Entry = MoreMenuEntries::Entry;
using Session = AccountModel::SessionKind;

namespace {

Entry button(Command command, const QString &title, const char *icon, bool enabled = true)
{
    return {Kind::button, command, title, QString::fromLatin1(icon), enabled, false, {}};
}

// A line that cannot be chosen; a dimmed one says that something is not available right now.
Entry label(const QString &title, const char *icon, bool dimmed)
{
    return {Kind::label, Command::none, title, QString::fromLatin1(icon), !dimmed, false, {}};
}

Entry divider()
{
    return {};
}

} // namespace

QList<Entry> MoreMenuEntries::accountSection(const Facts &facts)
{
    if (facts.profileEmail) {
        // The address exactly as stored: the user recognises their own spelling.
        QList<Entry> section{label(*facts.profileEmail, "person.crop.circle", false)};
        switch (facts.session) {
        case Session::Authenticated:
            section.append(label(QStringLiteral("Signed in"), "checkmark.circle", false));
            section.append(button(Command::signOut, QStringLiteral("Sign Out"), "rectangle.portrait.and.arrow.right"));
            break;
        case Session::Checking:
            section.append(label(QStringLiteral("Checking account session…"), "arrow.clockwise", true));
            break;
        case Session::SignedOut:
        case Session::ReauthenticationRequired:
            section.append(
                label(QStringLiteral("Sign in again on this computer"), "person.crop.circle.badge.exclamationmark", true));
            section.append(button(Command::signInAgain, QStringLiteral("Sign In Again…"), "envelope"));
            break;
        case Session::TemporarilyUnavailable:
            section.append(label(QStringLiteral("Account session unavailable"), "cloud.slash", true));
            section.append(button(Command::retryAccount, QStringLiteral("Retry Account Connection"), "arrow.clockwise"));
            break;
        }
        return section;
    }
    if (facts.hasBackend)
        return {button(Command::signIn, QStringLiteral("Sign In…"), "envelope")};
    return {label(QStringLiteral("Cloud Unavailable"), "cloud.slash", true)};
}

QList<Entry> MoreMenuEntries::entries(const Facts &facts)
{
    QList<Entry> menu;
    menu.append(button(Command::connectAll, QStringLiteral("Connect All MCPs"), "link",
                       facts.connectionsNeedAuth && facts.supportsLogin && !facts.isBatchRunning));
    Entry refresh = button(Command::refresh,
                           facts.isRefreshing ? QStringLiteral("Refreshing…") : QStringLiteral("Refresh Connections"),
                           "arrow.clockwise", !facts.isRefreshing);
    refresh.shortcut = QStringLiteral("Ctrl+R");
    menu.append(refresh);
    menu.append(divider());
    menu.append(accountSection(facts));
    menu.append(divider());
    menu.append(button(Command::checkForUpdates, QStringLiteral("Check for Updates…"), "arrow.down.circle"));
    menu.append(button(Command::howToUse, QStringLiteral("How to use Quorvane"), "book"));
    menu.append(divider());
    // Absent, not disabled: a build without a gateway has nothing to offer here.
    if (facts.reportingAvailable)
        menu.append(button(Command::reportProblem, QStringLiteral("Report a Problem"), "ladybug"));
    Entry launch{Kind::toggle, Command::launchAtLogin, QStringLiteral("Launch at Login"), QStringLiteral("power"),
                 true, facts.launchAtLogin, {}};
    menu.append(launch);
    menu.append(divider());
    menu.append(button(Command::about, QStringLiteral("About Quorvane"), "info.circle"));
    menu.append(button(Command::copyDiagnostics, QStringLiteral("Version ") + facts.version, "number"));
    menu.append(button(Command::copySupportEmail, QStringLiteral("Copy Support Email"), "envelope"));
    menu.append(divider());
    menu.append(button(Command::quit, QStringLiteral("Quit App"), "xmark"));
    return menu;
}
