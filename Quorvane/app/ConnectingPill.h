// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include "publishing/ConnectingPillControl.h"

#include "foundation/ContinuousClock.h"

#include <QObject>
#include <QPoint>
#include <QRect>
#include <QString>
#include <QWindow>
#include <QtQml/qqmlregistration.h>

#include <chrono>

/**
 * @brief The small floating capsule shown below the top edge of the screen while the user
 * completes a consent screen in the browser: "Connecting <name>", then "<name> connected", which
 * closes itself after a moment.
 *
 * The application's owner makes one for the process and hands it to the consent flows and to
 * the pill's window (ConnectingPillHost), which shows while `presented` is true; closing it by
 * hand suppresses it for the rest of the consent flow.
 */
class ConnectingPill : public QObject, public ConnectingPillControl
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("The application's owner makes the connecting pill and hands it to its window")

    /// The title after the cut.
    Q_PROPERTY(QString title READ title NOTIFY titleChanged)
    /// Connecting or connected.
    Q_PROPERTY(Phase phase READ phase NOTIFY phaseChanged)
    /// Whether the pill's window is on screen.
    Q_PROPERTY(bool presented READ presented NOTIFY presentedChanged)
    /// Set when the user closed the pill by hand: `show` and `markConnected` then do nothing.
    /// Callers clear it when a new consent flow begins.
    Q_PROPERTY(bool suppressed READ suppressed WRITE setSuppressed NOTIFY suppressedChanged)

public:
    enum class Phase { Connecting, Connected };
    Q_ENUM(Phase)

    /// How long the success stays on screen.
    static constexpr std::chrono::milliseconds successShownFor{1250};

    /// `wait`: how the close after a success waits; tests hand in one they move by hand.
    explicit ConnectingPill(ContinuousClock::Delay wait = ContinuousClock::delay(), QObject *parent = nullptr);

    /// A title of 43 or more user-perceived characters becomes its first 41, trimmed, and "…".
    [[nodiscard]] static QString cutTitle(const QString &title);
    /// Where a window of that size goes: centred, 6 points below the top of the available area.
    [[nodiscard]] static QPoint origin(const QRect &available, const QSize &size);

    [[nodiscard]] QString title() const { return m_title; }
    [[nodiscard]] Phase phase() const { return m_phase; }
    [[nodiscard]] bool presented() const { return m_presented; }
    [[nodiscard]] bool suppressed() const { return m_suppressed; }
    void setSuppressed(bool suppressed);

    /// Shows the pill connecting to `title`; cancels a pending close.
    Q_INVOKABLE void show(const QString &title) override;
    /// Turns a pill on screen into the success, which closes itself `successShownFor` later.
    /// False, changing nothing, when the pill is suppressed or not on screen.
    Q_INVOKABLE bool markConnected(const QString &title) override;
    /// Hides the pill at once.
    Q_INVOKABLE void dismiss() override;
    /// The user's close control: suppress, then hide.
    Q_INVOKABLE void closeByHand();
    /// Moves the window to `origin` on the primary screen; without a screen it stays put.
    Q_INVOKABLE void place(QWindow *window) const;

signals:
    void titleChanged();
    void phaseChanged();
    void presentedChanged();
    void suppressedChanged();
    /// A `show` happened: the window places itself and starts a fresh content view.
    void shown();

private:
    void setTitle(const QString &title);
    void setPhase(Phase phase);
    void setPresented(bool presented);
    /// Hides the success of that presentation once it has been shown long enough.
    QCoro::Task<> closeAfterSuccess(quint64 presentation);

    ContinuousClock::Delay m_wait;
    QString m_title;
    Phase m_phase = Phase::Connecting;
    bool m_presented = false;
    bool m_suppressed = false;
    /// Moved on by every show, success and dismissal: a pending close of an earlier one then
    /// wakes to find it changed and does nothing.
    quint64 m_presentation = 0;
};
