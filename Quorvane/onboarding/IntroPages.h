// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include "kit/KitPalette.h"

#include <QColor>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariantList>
#include <QtQml/qqmlregistration.h>

/**
 * @brief What one page of the introduction shows for the state it reads: a status row, the
 * explanation under it and one button with what the button asks for.
 */
struct IntroPage
{
    Q_GADGET
    /// The status row's icon; empty: the page has no row.
    Q_PROPERTY(QString symbol MEMBER symbol)
    /// The icon's colour (IntroPages::Tone).
    Q_PROPERTY(int tone MEMBER tone)
    Q_PROPERTY(QString status MEMBER status)
    Q_PROPERTY(QString explanation MEMBER explanation)
    /// The button's label; empty: the page has no button.
    Q_PROPERTY(QString button MEMBER button)
    /// The filled pill rather than the light one.
    Q_PROPERTY(bool prominent MEMBER prominent)
    /// What the button asks for (IntroPages::Action).
    Q_PROPERTY(int action MEMBER action)

public:
    QString symbol;
    int tone = 0;
    QString status;
    QString explanation;
    QString button;
    bool prominent = false;
    int action = 0;

    bool operator==(const IntroPage &) const = default;
};

/**
 * @brief The introduction's pages: which variant of the Claude, account and last pages the state
 * asks for, the fixed tips of the other two, and when the wizard lets the activity sheet cover it.
 */
class IntroPages : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_SINGLETON

public:
    /// The colour of a status row's icon.
    enum Tone { Secondary, Green, Red, Orange };
    Q_ENUM(Tone)
    /// What a page's button asks the application for.
    enum Action {
        NoAction,
        SignInToClaude,       ///< run claude's own sign-in
        CheckClaude,          ///< ask claude again whether it is signed in
        SignInToAccount,      ///< the account's e-mail sign-in, nothing after it
        SignInToAccountAgain, ///< the account's sign-in, then the cloud bootstrap
        RetryCloud,           ///< the cloud bootstrap, unless one runs
        AddProject,           ///< end the introduction and open the add field
    };
    Q_ENUM(Action)

    /// Why the account's sign-in is asked for, on the account page.
    static inline const QString accountSignInReason =
        QStringLiteral("Sign in to schedule publishes and keep publishing access across your computers.");
    static inline const QString accountSignInAgainReason = QStringLiteral(
        "Quorvane remembers your account, but this computer no longer has a sign-in session. Sign in again to "
        "reconnect cloud features.");

    using QObject::QObject;

    /// The sign-in page for claude's status ("signedIn", "signedOut", anything else unknown) and
    /// the address it reported.
    Q_INVOKABLE [[nodiscard]] static IntroPage claudePage(const QString &claudeAuth, const QString &email);
    /// The account page: without a remembered profile always the e-mail sign-in, otherwise by the
    /// session's state (AccountModel::SessionKind).
    Q_INVOKABLE [[nodiscard]] static IntroPage accountPage(bool hasProfile, const QString &email, int session);
    /// The closing page for claude's status.
    Q_INVOKABLE [[nodiscard]] static IntroPage getStartedPage(const QString &claudeAuth);
    Q_INVOKABLE [[nodiscard]] static QString addProjectExplanation();
    Q_INVOKABLE [[nodiscard]] static QString useInChatExplanation();
    /// Each tip as a map with "heading" and "body".
    Q_INVOKABLE [[nodiscard]] static QVariantList addProjectTips();
    Q_INVOKABLE [[nodiscard]] static QVariantList useInChatTips();
    /// The reason the sign-in sheet shows for a button's action; empty for the others.
    Q_INVOKABLE [[nodiscard]] static QString signInReason(int action);

    /// Claude's sign-in runs: its key is among the model's busy names.
    Q_INVOKABLE [[nodiscard]] static bool claudeSignInRunning(const QStringList &busy);
    /// The activity sheet belongs to claude's sign-in, which the introduction may have started:
    /// the sheet then shows above the introduction, so its Cancel and its outcome stay in reach.
    Q_INVOKABLE [[nodiscard]] static bool raisesActivity(bool hasSheet, const QString &subject);
    Q_INVOKABLE [[nodiscard]] static QColor toneColor(int tone, KitPalette::Scheme scheme);
};
