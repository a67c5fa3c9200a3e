// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include <QCoro/QCoroTask>
#include <QObject>

#include <chrono>

class AppModel;

/**
 * @brief Signs the claude command line itself in to an Anthropic account: its login runs under a
 * terminal while an activity sheet shows its output, then claude's own sign-in status decides
 * what the sheet reports.
 */
class ClaudeSignIn final : public QObject
{
    Q_OBJECT

public:
    /// How long the login may take and how long the status query after it may take; tests
    /// shorten them.
    struct Limits
    {
        std::chrono::milliseconds login{300000};
        std::chrono::milliseconds status{15000};
    };

    explicit ClaudeSignIn(AppModel &model, QObject *parent = nullptr);

    void setLimits(Limits limits) { m_limits = limits; }

    /// Runs the sign-in in a new sheet; the status read afterwards becomes the model's claudeAuth.
    QCoro::Task<> signInToClaude();
    /// The sign-in banner's, menu's and intro's action.
    Q_INVOKABLE void start();

private:
    AppModel &m_model;
    Limits m_limits;
};
