// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include "account/AccountModel.h"

#include <QList>
#include <QMetaType>
#include <QString>

#include <optional>

struct MoreMenuEntry;

/**
 * @brief The header's More menu: which entries it holds for the model's state, in which order,
 * with which titles, icons, check marks and enabled states, the account section included.
 *
 * The menu keeps no state of its own: it is built anew from these facts whenever they change.
 */
class MoreMenuEntries
{
    Q_GADGET

public:
    /// How an entry shows: a command, a line that cannot be chosen, a command with a check mark,
    /// or a separator.
    enum class Kind { button, label, toggle, divider };
    Q_ENUM(Kind)

    /// What choosing an entry does; labels and dividers do nothing.
    enum class Command {
        none,
        connectAll,
        refresh,
        signOut,
        signInAgain,
        retryAccount,
        signIn,
        checkForUpdates,
        howToUse,
        reportProblem,
        launchAtLogin,
        about,
        copyDiagnostics,
        copySupportEmail,
        quit,
    };
    Q_ENUM(Command)

    /// What the menu is built from.
    struct Facts
    {
        /// Some connection's live status asks for authorization.
        bool connectionsNeedAuth = false;
        /// The detected claude can run a login.
        bool supportsLogin = false;
        bool isBatchRunning = false;
        bool isRefreshing = false;
        bool launchAtLogin = false;
        /// This build can send error reports.
        bool reportingAvailable = false;
        /// The remembered account's address; none without a profile.
        std::optional<QString> profileEmail;
        AccountModel::SessionKind session = AccountModel::SessionKind::Checking;
        /// The build has a backend to sign in to.
        bool hasBackend = false;
        /// The application's version text.
        QString version;
    };

    using Entry = MoreMenuEntry;

    /// The copied toast after the diagnostics were copied.
    static inline const QString diagnosticsCopiedToast = QStringLiteral("Copied! Paste into an email for support.");
    /// The copied toast after the support address was copied.
    static inline const QString supportEmailCopiedToast =
        QStringLiteral("Copied! Come back and click Version to grab your details too.");
    /// Why "Sign In Again…" asks, for an account remembered here without a session.
    static inline const QString signInAgainReason = QStringLiteral(
        "Quorvane remembers your account, but this computer no longer has a sign-in session. Sign in again to "
        "reconnect cloud features.");
    /// Why "Sign In…" asks.
    static inline const QString signInReason =
        QStringLiteral("Sign in to schedule publishes and connect publishing access for your sites.");

    /// The whole menu, top to bottom.
    [[nodiscard]] static QList<Entry> entries(const Facts &facts);
    /// The account section alone, as it stands between the menu's first two dividers.
    [[nodiscard]] static QList<Entry> accountSection(const Facts &facts);
};

/// One entry of the More menu.
struct MoreMenuEntry
{
    Q_GADGET
    /// What choosing the entry does, as the number activate() takes back.
    Q_PROPERTY(int command READ commandNumber)
    Q_PROPERTY(QString title MEMBER title)
    /// The name of an icon of our own set.
    Q_PROPERTY(QString icon MEMBER icon)
    Q_PROPERTY(bool enabled MEMBER enabled)
    /// A toggle's check mark.
    Q_PROPERTY(bool checked MEMBER checked)
    /// The key that also runs the command, as the menu shows it; empty for none.
    Q_PROPERTY(QString shortcut MEMBER shortcut)
    Q_PROPERTY(bool divider READ isDivider)
    /// A line that shows but cannot be chosen.
    Q_PROPERTY(bool label READ isLabel)
    /// A command with a check mark.
    Q_PROPERTY(bool toggle READ isToggle)

public:
    MoreMenuEntries::Kind kind = MoreMenuEntries::Kind::divider;
    MoreMenuEntries::Command command = MoreMenuEntries::Command::none;
    QString title;
    QString icon;
    bool enabled = true;
    bool checked = false;
    QString shortcut;

    [[nodiscard]] bool isDivider() const { return kind == MoreMenuEntries::Kind::divider; }
    [[nodiscard]] bool isLabel() const { return kind == MoreMenuEntries::Kind::label; }
    [[nodiscard]] bool isToggle() const { return kind == MoreMenuEntries::Kind::toggle; }
    [[nodiscard]] int commandNumber() const { return int(command); }
    friend bool operator==(const MoreMenuEntry &, const MoreMenuEntry &) = default;
};

Q_DECLARE_METATYPE(MoreMenuEntry)
