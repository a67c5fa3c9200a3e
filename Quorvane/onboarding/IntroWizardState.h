// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <QtQml/qqmlregistration.h>

/**
 * @brief The introduction's steps and where the user is among them: which steps this showing
 * has, the header of the current one, its place ("2 of 5") and the Back and forward buttons.
 *
 * The steps are chosen once, when the showing begins, from claude's sign-in status and whether
 * any connection exists; they stay the same while the showing lasts, whatever changes meanwhile.
 */
class IntroWizardState : public QObject
{
    Q_OBJECT
    QML_ELEMENT

    /// The steps of this showing, as Step values.
    Q_PROPERTY(QList<int> steps READ stepValues NOTIFY stepsChanged)
    Q_PROPERTY(int stepCount READ stepCount NOTIFY stepsChanged)
    Q_PROPERTY(Step step READ step NOTIFY stepChanged)
    /// Where the current step stands in the list, from 0.
    Q_PROPERTY(int index READ index NOTIFY stepChanged)
    Q_PROPERTY(QString title READ title NOTIFY stepChanged)
    /// The header's icon.
    Q_PROPERTY(QString symbol READ symbol NOTIFY stepChanged)
    /// "2 of 5".
    Q_PROPERTY(QString progress READ progress NOTIFY stepChanged)
    Q_PROPERTY(bool canGoBack READ canGoBack NOTIFY stepChanged)
    /// "Next", or "Done" on the last step.
    Q_PROPERTY(QString forwardLabel READ forwardLabel NOTIFY stepChanged)

public:
    enum class Step { SignIn, Account, AddProject, UseInChat, GetStarted };
    Q_ENUM(Step)

    using QObject::QObject;

    /// The steps for claude's status ("signedIn", "signedOut", anything else unknown) and the
    /// number of connections: the closing step only for a user signed out or without a connection.
    [[nodiscard]] static QList<Step> stepsFor(const QString &claudeAuth, int connectionCount);
    [[nodiscard]] static QString title(Step step);
    [[nodiscard]] static QString symbol(Step step);

    /// Starts a showing at its first step.
    Q_INVOKABLE void begin(const QString &claudeAuth, int connectionCount);
    Q_INVOKABLE void goBack();
    /// The next step; on the last one the showing ends instead (`finished`).
    Q_INVOKABLE void goNext();

    [[nodiscard]] const QList<Step> &steps() const { return m_steps; }
    [[nodiscard]] int stepCount() const { return int(m_steps.size()); }
    [[nodiscard]] Step step() const { return m_step; }
    [[nodiscard]] int index() const;
    [[nodiscard]] QString title() const { return title(m_step); }
    [[nodiscard]] QString symbol() const { return symbol(m_step); }
    [[nodiscard]] QString progress() const;
    [[nodiscard]] bool canGoBack() const { return index() >= 1; }
    [[nodiscard]] bool isLast() const { return index() + 1 == stepCount(); }
    [[nodiscard]] QString forwardLabel() const;

signals:
    void stepsChanged();
    void stepChanged();
    /// "Done" on the last step: the presenter takes the introduction away.
    void finished();

private:
    [[nodiscard]] QList<int> stepValues() const;
    void setStep(Step step);

    QList<Step> m_steps = stepsFor({}, 1);
    Step m_step = Step::SignIn;
};
