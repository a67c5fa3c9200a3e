// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include "account/AccountModel.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QtQml/qqmlregistration.h>

/**
 * @brief The sign-in overlay's own state and decisions: what the user typed, the opt-in, which
 * step and buttons the account's phase calls for, and the actions that ask the account model to
 * send and verify codes and to reload the profile.
 *
 * Every sign-in state lives in the account model; the overlay keeps only the typed address and
 * code and the opt-in. The step follows the account's phase alone.
 */
class SignInOverlayModel : public QObject
{
    Q_OBJECT
    QML_ELEMENT

    /// The account that signs in; the overlay reads its phase, error and profile loading.
    Q_PROPERTY(AccountModel *account READ account WRITE setAccount NOTIFY accountChanged)
    /// The request's suggested address, used to prefill an empty address field.
    Q_PROPERTY(QString suggestedEmail READ suggestedEmail WRITE setSuggestedEmail NOTIFY suggestedEmailChanged)
    /// The address being typed.
    Q_PROPERTY(QString email READ email WRITE setEmail NOTIFY emailChanged)
    /// The code being typed; every change keeps at most eight ASCII digits.
    Q_PROPERTY(QString code READ code WRITE setCode NOTIFY codeChanged)
    Q_PROPERTY(bool marketingOptIn READ marketingOptIn WRITE setMarketingOptIn NOTIFY marketingOptInChanged)

    /// A code is being sent or checked, or the profile loads: fields, links and the primary
    /// button are disabled and the actions do nothing.
    Q_PROPERTY(bool busy READ busy NOTIFY lookChanged)
    Q_PROPERTY(Step step READ step NOTIFY lookChanged)
    Q_PROPERTY(QString heading READ heading NOTIFY lookChanged)
    /// The step's explanation line.
    Q_PROPERTY(QString subheading READ subheading NOTIFY lookChanged)
    Q_PROPERTY(QString cancelLabel READ cancelLabel NOTIFY lookChanged)
    /// The primary button's label; empty when the step has none.
    Q_PROPERTY(QString primaryLabel READ primaryLabel NOTIFY lookChanged)
    Q_PROPERTY(bool primaryEnabled READ primaryEnabled NOTIFY lookChanged)
    /// The account's failure sentence; empty when none.
    Q_PROPERTY(QString error READ error NOTIFY lookChanged)

public:
    /// The steps of the overlay.
    enum class Step { Email, Code, Profile, SignedIn };
    Q_ENUM(Step)
    /// The field that takes keyboard focus.
    enum class Field { Email, Code };
    Q_ENUM(Field)
    /// What the primary button does.
    enum class Primary { None, Send, Verify, Retry };
    Q_ENUM(Primary)

    /// The longest code kept, and the shortest one that may be verified.
    static constexpr qsizetype maxCodeLength = 8;
    static constexpr qsizetype minCodeLength = 6;

    /// What the overlay shows for one phase of the account.
    struct Look
    {
        Step step = Step::Email;
        QString heading;
        QString cancelLabel;
        Primary primary = Primary::None;
        QString primaryLabel;
        bool primaryEnabled = false;

        friend bool operator==(const Look &, const Look &) = default;
    };

    /// The look of a phase: `busy` is the overlay's busy, `emailPlausible` of the typed address,
    /// `codeLength` of the typed code.
    [[nodiscard]] static Look look(AccountModel::PhaseKind phase, bool busy, bool emailPlausible, qsizetype codeLength);
    /// Whether an address is worth sending a code to: without spaces and tabs at its ends it holds
    /// no white space, an at sign that is not its first character, and after the first at sign a
    /// dot that neither begins nor ends that part.
    Q_INVOKABLE [[nodiscard]] static bool isEmailPlausible(const QString &email);
    /// The code as kept: every decimal digit of any script as its ASCII digit, everything else
    /// (letters, spaces, "½", "²") dropped, at most eight digits.
    Q_INVOKABLE [[nodiscard]] static QString sanitizeCode(const QString &code);

    using QObject::QObject;

    [[nodiscard]] AccountModel *account() const { return m_account; }
    void setAccount(AccountModel *account);
    [[nodiscard]] QString suggestedEmail() const { return m_suggestedEmail; }
    void setSuggestedEmail(const QString &email);
    [[nodiscard]] QString email() const { return m_email; }
    void setEmail(const QString &email);
    [[nodiscard]] QString code() const { return m_code; }
    void setCode(const QString &code);
    [[nodiscard]] bool marketingOptIn() const { return m_marketingOptIn; }
    void setMarketingOptIn(bool on);

    [[nodiscard]] bool busy() const;
    [[nodiscard]] Look current() const;
    [[nodiscard]] Step step() const { return current().step; }
    [[nodiscard]] QString heading() const { return current().heading; }
    [[nodiscard]] QString subheading() const;
    [[nodiscard]] QString cancelLabel() const { return current().cancelLabel; }
    [[nodiscard]] QString primaryLabel() const { return current().primaryLabel; }
    [[nodiscard]] bool primaryEnabled() const { return current().primaryEnabled; }
    [[nodiscard]] QString error() const;

    /// When the overlay is shown: reports an account already signed in, prefills an empty address
    /// with the suggestion and puts the focus in the step's field.
    Q_INVOKABLE void appear();
    /// "Send code" or Return in the address field.
    Q_INVOKABLE void send();
    /// "Verify" or Return in the code field.
    Q_INVOKABLE void verify();
    /// "Retry" while the profile is pending.
    Q_INVOKABLE void retry();
    /// The primary button: whichever of send, verify and retry the step offers.
    Q_INVOKABLE void pressPrimary();
    /// "Send a new code" and "Use a different email": back to the address step, keeping the typed
    /// address, the opt-in and the account's error.
    Q_INVOKABLE void returnToEmail();

signals:
    void accountChanged();
    void suggestedEmailChanged();
    void emailChanged();
    void codeChanged();
    void marketingOptInChanged();
    /// The step, the buttons, the busy flag or the error may have changed.
    void lookChanged();
    /// The account is signed in: the presenter closes the overlay and runs the request's success.
    void signedIn();
    /// The field that should take keyboard focus now.
    void focusRequested(SignInOverlayModel::Field field);

private:
    /// After a verify or retry: signed in is reported; a refused code is cleared for the next one.
    void afterStep();
    void onPhaseChanged();

    QPointer<AccountModel> m_account;
    QString m_suggestedEmail;
    QString m_email;
    QString m_code;
    bool m_marketingOptIn = true;
    AccountModel::PhaseKind m_shownPhase = AccountModel::PhaseKind::SignedOut;
};
