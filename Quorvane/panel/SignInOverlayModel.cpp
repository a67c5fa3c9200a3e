// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "panel/SignInOverlayModel.h"

#include <QCoro/QCoroTask>

using Phase = AccountModel::PhaseKind;

SignInOverlayModel::Look SignInOverlayModel::look(Phase phase, bool busy, bool emailPlausible, qsizetype codeLength)
{
    Look look;
    look.cancelLabel = QStringLiteral("Cancel");
    switch (phase) {
    case Phase::SignedOut:
    case Phase::SendingCode:
        look.step = Step::Email;
        look.heading = QStringLiteral("Sign in to keep going");
        look.primary = Primary::Send;
        look.primaryLabel = QStringLiteral("Send code");
        look.primaryEnabled = !busy && emailPlausible;
        break;
    case Phase::CodeSent:
    case Phase::Verifying:
        look.step = Step::Code;
        look.heading = QStringLiteral("Check your email");
        look.primary = Primary::Verify;
        look.primaryLabel = QStringLiteral("Verify");
        look.primaryEnabled = !busy && codeLength >= minCodeLength;
        break;
    case Phase::ProfilePending:
        look.step = Step::Profile;
        look.heading = QStringLiteral("Almost there");
        look.primary = Primary::Retry;
        look.primaryLabel = QStringLiteral("Retry");
        look.primaryEnabled = !busy;
        break;
    case Phase::SignedIn:
        look.step = Step::SignedIn;
        look.heading = QStringLiteral("Signed in");
        look.cancelLabel = QStringLiteral("Close");
        break;
    }
    return look;
}

bool SignInOverlayModel::isEmailPlausible(const QString &email)
{
    qsizetype first = 0;
    qsizetype end = email.size();
    const auto isBlank = [](QChar c) { return c == u' ' || c == u'\t'; };
    while (first < end && isBlank(email.at(first)))
        ++first;
    while (end > first && isBlank(email.at(end - 1)))
        --end;
    const QStringView address = QStringView(email).mid(first, end - first);
    for (const char32_t c : address.toUcs4())
        if (QChar::isSpace(c))
            return false;
    const qsizetype at = address.indexOf(u'@');
    if (at <= 0)
        return false;
    const QStringView domain = address.mid(at + 1);
    return domain.contains(u'.') && !domain.startsWith(u'.') && !domain.endsWith(u'.');
}

QString SignInOverlayModel::sanitizeCode(const QString &code)
{
    QString kept;
    for (const char32_t c : code.toUcs4()) {
        if (kept.size() == maxCodeLength)
            break;
        // Only decimal digits count: a superscript or a fraction has a numeric value but is no
        // digit a code could be typed with.
        if (QChar::category(c) == QChar::Number_DecimalDigit)
            kept.append(QChar(u'0' + QChar::digitValue(c)));
    }
    return kept;
}

void SignInOverlayModel::setAccount(AccountModel *account)
{
    if (m_account == account)
        return;
    if (m_account)
        disconnect(m_account, nullptr, this, nullptr);
    m_account = account;
    if (m_account) {
        m_shownPhase = m_account->phaseKind();
        connect(m_account, &AccountModel::phaseChanged, this, &SignInOverlayModel::onPhaseChanged);
        connect(m_account, &AccountModel::lastErrorChanged, this, &SignInOverlayModel::lookChanged);
        connect(m_account, &AccountModel::isLoadingProfileChanged, this, &SignInOverlayModel::lookChanged);
    }
    emit accountChanged();
    emit lookChanged();
}

void SignInOverlayModel::setSuggestedEmail(const QString &email)
{
    if (m_suggestedEmail == email)
        return;
    m_suggestedEmail = email;
    emit suggestedEmailChanged();
}

void SignInOverlayModel::setEmail(const QString &email)
{
    if (m_email == email)
        return;
    m_email = email;
    emit emailChanged();
    emit lookChanged();
}

void SignInOverlayModel::setCode(const QString &code)
{
    const QString kept = sanitizeCode(code);
    if (m_code == kept) {
        // The field may hold what was typed; tell it to show the kept code again.
        if (kept != code)
            emit codeChanged();
        return;
    }
    m_code = kept;
    emit codeChanged();
    emit lookChanged();
}

void SignInOverlayModel::setMarketingOptIn(bool on)
{
    if (m_marketingOptIn == on)
        return;
    m_marketingOptIn = on;
    emit marketingOptInChanged();
}

bool SignInOverlayModel::busy() const
{
    if (!m_account)
        return false;
    const Phase phase = m_account->phaseKind();
    return phase == Phase::Verifying || phase == Phase::SendingCode || m_account->isLoadingProfile();
}

SignInOverlayModel::Look SignInOverlayModel::current() const
{
    const Phase phase = m_account ? m_account->phaseKind() : Phase::SignedOut;
    return look(phase, busy(), isEmailPlausible(m_email), m_code.size());
}

QString SignInOverlayModel::subheading() const
{
    switch (step()) {
    case Step::Email:
        return QString();
    case Step::Code:
        return QStringLiteral("We sent a code to %1. It expires in an hour.").arg(m_account ? m_account->phaseEmail() : QString());
    case Step::Profile:
        return QStringLiteral("Your sign-in worked. We just couldn't fetch your account details yet.");
    case Step::SignedIn:
        return QStringLiteral("All set.");
    }
    return QString();
}

QString SignInOverlayModel::error() const
{
    return m_account ? m_account->lastErrorText() : QString();
}

void SignInOverlayModel::appear()
{
    if (m_account && m_account->phaseKind() == Phase::SignedIn)
        emit signedIn();
    if (m_email.isEmpty())
        setEmail(m_suggestedEmail);
    emit focusRequested(step() == Step::Code ? Field::Code : Field::Email);
}

void SignInOverlayModel::send()
{
    if (!m_account || busy() || !isEmailPlausible(m_email))
        return;
    // The account model trims and lower-cases the address itself.
    QCoro::connect(m_account->sendCode(m_email, m_marketingOptIn), this, [] {});
}

void SignInOverlayModel::verify()
{
    if (!m_account || busy() || m_code.size() < minCodeLength)
        return;
    QCoro::connect(m_account->verifyCode(m_code), this, [this] { afterStep(); });
}

void SignInOverlayModel::retry()
{
    if (!m_account || busy())
        return;
    QCoro::connect(m_account->reloadProfile(), this, [this] { afterStep(); });
}

void SignInOverlayModel::pressPrimary()
{
    switch (current().primary) {
    case Primary::Send:
        send();
        break;
    case Primary::Verify:
        verify();
        break;
    case Primary::Retry:
        retry();
        break;
    case Primary::None:
        break;
    }
}

void SignInOverlayModel::returnToEmail()
{
    if (!m_account)
        return;
    m_account->returnToEmailStep();
}

void SignInOverlayModel::afterStep()
{
    if (!m_account)
        return;
    if (m_account->phaseKind() == Phase::SignedIn)
        emit signedIn();
    else if (m_account->phaseKind() == Phase::CodeSent)
        setCode(QString());
}

void SignInOverlayModel::onPhaseChanged()
{
    const Phase previous = m_shownPhase;
    m_shownPhase = m_account->phaseKind();
    emit lookChanged();
    // Each entry into a code phase shows the code step afresh, focus in the code field.
    const bool codePhase = m_shownPhase == Phase::CodeSent || m_shownPhase == Phase::Verifying;
    if (codePhase && previous != m_shownPhase)
        emit focusRequested(Field::Code);
}
