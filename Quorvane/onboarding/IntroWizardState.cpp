// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "onboarding/IntroWizardState.h"

#include <algorithm>

QList<IntroWizardState::Step> IntroWizardState::stepsFor(const QString &claudeAuth, int connectionCount)
{
    QList<Step> steps{Step::SignIn, Step::Account, Step::AddProject, Step::UseInChat};
    // An unknown status alone does not ask for the closing step: claude may be fine but slow.
    if (claudeAuth == QStringLiteral("signedOut") || connectionCount <= 0)
        steps.append(Step::GetStarted);
    return steps;
}

QString IntroWizardState::title(Step step)
{
    switch (step) {
    case Step::SignIn:
        return QStringLiteral("Sign in to Claude Code");
    case Step::Account:
        return QStringLiteral("Your account");
    case Step::AddProject:
        return QStringLiteral("Add a Webflow project");
    case Step::UseInChat:
        return QStringLiteral("Use it in a chat");
    case Step::GetStarted:
        break;
    }
    return QStringLiteral("Get started");
}

QString IntroWizardState::symbol(Step step)
{
    switch (step) {
    case Step::SignIn:
        return QStringLiteral("person.crop.circle");
    case Step::Account:
        return QStringLiteral("star");
    case Step::AddProject:
        return QStringLiteral("plus.circle");
    case Step::UseInChat:
        return QStringLiteral("bubble.left.and.text.bubble.right");
    case Step::GetStarted:
        break;
    }
    return QStringLiteral("arrow.right.circle");
}

void IntroWizardState::begin(const QString &claudeAuth, int connectionCount)
{
    m_steps = stepsFor(claudeAuth, connectionCount);
    emit stepsChanged();
    m_step = Step::SignIn;
    emit stepChanged();
}

void IntroWizardState::goBack()
{
    setStep(m_steps.value(std::max(index() - 1, 0), Step::SignIn));
}

void IntroWizardState::goNext()
{
    if (isLast()) {
        emit finished();
        return;
    }
    setStep(m_steps.value(std::min(index() + 1, stepCount() - 1), Step::SignIn));
}

int IntroWizardState::index() const
{
    return std::max(int(m_steps.indexOf(m_step)), 0);
}

QString IntroWizardState::progress() const
{
    return QStringLiteral("%1 of %2").arg(index() + 1).arg(stepCount());
}

QString IntroWizardState::forwardLabel() const
{
    return isLast() ? QStringLiteral("Done") : QStringLiteral("Next");
}

QList<int> IntroWizardState::stepValues() const
{
    QList<int> values;
    for (const Step step : m_steps)
        values.append(int(step));
    return values;
}

void IntroWizardState::setStep(Step step)
{
    if (step == m_step)
        return;
    m_step = step;
    emit stepChanged();
}
