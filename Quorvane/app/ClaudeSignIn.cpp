// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "app/ClaudeSignIn.h"

#include "app/AppModel.h"
#include "cli/OperationRegistry.h"
#include "cli/StatusQueries.h"
#include "cli/TerminalRunner.h"

#include <QCoreApplication>
#include <QPointer>

ClaudeSignIn::ClaudeSignIn(AppModel &model, QObject *parent)
    : QObject(parent)
    , m_model(model)
{
}

void ClaudeSignIn::start()
{
    // Runs on by itself; the sheet shows how it went.
    (void)signInToClaude();
}

QCoro::Task<> ClaudeSignIn::signInToClaude()
{
    const QString subject = ClaudeCLI::claudeAuthKey();
    ActivityCenter &activity = m_model.activity();
    activity.dropRetryOfOtherSubject(subject);
    const QUuid id = activity.open(
        ActivitySheet::Kind::authorizing, QStringLiteral("Signing in to Claude"), subject,
        QStringLiteral("A browser window will open. Sign in with the Anthropic account you use for Claude Code."));
    m_model.setBusy(subject, true);

    // The driver hands output over on its own thread; each piece reaches the log on this one.
    ClaudeCLI::OutputHandler onOutput = [center = QPointer<ActivityCenter>(&activity), id](const QString &piece) {
        QMetaObject::invokeMethod(
            QCoreApplication::instance(),
            [center, id, piece] {
                if (center)
                    center->appendActivityLog(piece, id);
            },
            Qt::QueuedConnection);
    };
    ClaudeCLI::TerminalOptions options;
    options.timeout = m_limits.login;
    QPointer<ClaudeSignIn> alive(this);
    // Whatever ended the run (no claude, a key in use, a cancel, the time limit) is not shown by
    // itself: claude's own status says whether the user is signed in.
    const QStringList arguments = {QStringLiteral("auth"), QStringLiteral("login")};
    const ClaudeCLI::TerminalRunResult login =
        co_await ClaudeCLI::ptyRun(m_model.driver(), subject, arguments, std::move(onOutput), std::move(options));
    if (!alive)
        co_return;
    const ClaudeCLI::AuthStatus status = co_await ClaudeCLI::authStatus(m_model.driver(), m_limits.status);
    if (!alive)
        co_return;
    m_model.setClaudeAuth(status);

    using State = ClaudeCLI::AuthStatus::State;
    ActivitySheet::Outcome outcome = ActivitySheet::Outcome::failure;
    if (status.state == State::signedIn) {
        activity.appendActivityLog(
            QStringLiteral("\n✓ Signed in") + (status.email ? QStringLiteral(" as ") + *status.email : QString())
                + QStringLiteral(".\n"),
            id);
        outcome = ActivitySheet::Outcome::success;
    } else if (status.state == State::unknown && login.ok) {
        activity.appendActivityLog(QStringLiteral("\n⚠ Sign-in finished, but confirming it timed out. Run a scope "
                                                  "check, or reopen the panel, to confirm.\n"),
                                   id);
        outcome = ActivitySheet::Outcome::warning;
    } else {
        m_model.errorLog().record(QStringLiteral("auth-login"),
                                  QStringLiteral("Claude sign-in did not complete successfully."), m_model.clock().now());
        activity.appendActivityLog(QStringLiteral("\n✕ Still signed out. Check the browser window, or try again.\n"),
                                   id);
    }
    activity.finishActivity(id, outcome);
    activity.resumePendingRetry();
    m_model.setBusy(subject, false);
    // A Cancel or Retry that reached the driver after the run had ended waits there for the next
    // run with this key; it belongs to this sign-in, not the next one. Claiming the free key takes
    // the waiting cancellation with it.
    ClaudeCLI::LoginOperationRegistry &logins = m_model.driver().logins();
    if (const std::optional<QUuid> claimed = logins.registerKey(subject))
        logins.unregisterKey(subject, *claimed);
}
