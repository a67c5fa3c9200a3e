// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include <QDateTime>
#include <QObject>
#include <QPoint>
#include <QRect>
#include <QSize>

#include <chrono>

class Clock;
class CloudSide;
class PanelState;
class QSystemTrayIcon;
class QWindow;

/**
 * @brief Shows the panel the way a tray application does: a frameless window at the tray icon
 * that hides again when it loses the focus.
 *
 * Without a tray host (no `QSystemTrayIcon` given) the panel is an ordinary window that stays
 * until closed. A click on the tray icon first takes the focus from the open panel, which hides
 * it; the same click then asks to toggle, and is ignored for a moment after such a hide so that
 * it does not open the panel again at once.
 */
class PanelHost final : public QObject
{
    Q_OBJECT

public:
    /// The panel's fixed size.
    static constexpr QSize panelSize{420, 600};
    /// How long after hiding on focus loss a request to open is taken as the same click.
    static constexpr std::chrono::milliseconds reopenGuard{300};

    /// `tray` may be null: then there is no tray host. `clock` times the re-open guard.
    PanelHost(QWindow &panel, QSystemTrayIcon *tray, const Clock &clock, QObject *parent = nullptr);

    /// Where the panel goes: under (or over) the tray icon, inside the screen's free area; at its
    /// top right when the tray does not say where its icon is.
    [[nodiscard]] static QPoint placement(const QRect &icon, const QRect &available, QSize panel);

    [[nodiscard]] bool isOpen() const;

    /// A tray host came (`tray`) or went (null) after start. An open panel moves to the icon;
    /// without a tray the panel opens as an ordinary window, since nothing else would reach it.
    void setTray(QSystemTrayIcon *tray);

    /**
     * Keeps `state` told of the window: shown or hidden, key or not; its first showing starts
     * the panel (the bootstrap, once). A notification tap that needs the panel reaches `cloud`
     * through `ensureOpen`, so routing to a tab never closes an open panel.
     */
    void follow(PanelState &state, CloudSide &cloud);

public slots:
    /// Opens a closed panel, closes an open one.
    void toggle();
    /// Opens the panel, or brings an open one forward; never closes it.
    void ensureOpen();

private:
    /// Makes the panel a tray panel at `m_tray`, or an ordinary window without one.
    void anchor();
    void open();
    void windowActiveChanged();

    QWindow &m_panel;
    QSystemTrayIcon *m_tray;
    const Clock &m_clock;
    /// When losing the focus last hid the panel; invalid: never.
    QDateTime m_autoHiddenAt;
    bool m_started = false;
};
