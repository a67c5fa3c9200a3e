// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "app/PanelHost.h"

#include "app/CloudSide.h"
#include "app/PanelState.h"
#include "foundation/Clock.h"

#include <QGuiApplication>
#include <QScreen>
#include <QSystemTrayIcon>
#include <QWindow>

#include <algorithm>

PanelHost::PanelHost(QWindow &panel, QSystemTrayIcon *tray, const Clock &clock, QObject *parent)
    : QObject(parent)
    , m_panel(panel)
    , m_tray(tray)
    , m_clock(clock)
{
    m_panel.resize(panelSize);
    anchor();
}

void PanelHost::setTray(QSystemTrayIcon *tray)
{
    if (tray == m_tray)
        return;
    const bool wasOpen = isOpen();
    if (m_tray) {
        disconnect(m_tray, nullptr, this, nullptr);
        disconnect(&m_panel, &QWindow::activeChanged, this, &PanelHost::windowActiveChanged);
    }
    m_tray = tray;
    // New window flags take hold when the window is next mapped.
    if (wasOpen)
        m_panel.hide();
    anchor();
    if (wasOpen || !m_tray)
        open();
}

void PanelHost::anchor()
{
    constexpr Qt::WindowFlags trayFlags = Qt::FramelessWindowHint | Qt::Tool | Qt::WindowStaysOnTopHint;
    if (!m_tray) {
        m_panel.setFlags(m_panel.flags() & ~trayFlags);
        return;
    }
    m_panel.setFlags(m_panel.flags() | trayFlags);
    connect(&m_panel, &QWindow::activeChanged, this, &PanelHost::windowActiveChanged);
    connect(m_tray, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        if (reason == QSystemTrayIcon::Trigger)
            toggle();
    });
}

QPoint PanelHost::placement(const QRect &icon, const QRect &available, QSize panel)
{
    if (!icon.isValid() || available.isEmpty())
        return {available.right() + 1 - panel.width(), available.top()};
    // Centred on the icon, then kept inside the free area; below a tray at the top, above one at
    // the bottom.
    const int x = std::clamp(icon.x() + icon.width() / 2 - panel.width() / 2, available.left(),
                             std::max(available.left(), available.right() + 1 - panel.width()));
    const bool trayAtTop = icon.y() + icon.height() / 2 < available.y() + available.height() / 2;
    const int y = trayAtTop ? std::max(available.top(), icon.bottom() + 1)
                            : std::min(available.bottom() + 1, icon.top()) - panel.height();
    return {x, std::max(available.top(), y)};
}

bool PanelHost::isOpen() const
{
    return m_panel.isVisible();
}

void PanelHost::follow(PanelState &state, CloudSide &cloud)
{
    state.setPanelVisible(m_panel.isVisible());
    const auto shown = [this, &state](bool visible) {
        state.setPanelVisible(visible);
        if (visible && !m_started) {
            m_started = true;
            state.panelStart();
        }
    };
    connect(&m_panel, &QWindow::visibleChanged, &state, shown);
    connect(&m_panel, &QWindow::activeChanged, &state, [this, &state] {
        if (m_panel.isActive())
            state.panelBecameKey();
        else
            state.panelResignedKey();
    });
    cloud.setPanelActivator([this] { ensureOpen(); });
    // A panel already open may sit behind other windows: a tapped notification brings it forward.
    cloud.setApplicationActivator([this] {
        m_panel.raise();
        m_panel.requestActivate();
    });
    if (m_panel.isVisible())
        shown(true);
}

void PanelHost::toggle()
{
    if (isOpen()) {
        m_panel.hide();
        return;
    }
    // The click on the tray icon that took the focus from the panel has just hidden it. A clock
    // set back since then must not keep the panel shut.
    if (m_autoHiddenAt.isValid()) {
        const qint64 since = m_autoHiddenAt.msecsTo(m_clock.now());
        if (since >= 0 && since < reopenGuard.count())
            return;
    }
    open();
}

void PanelHost::ensureOpen()
{
    open();
}

void PanelHost::open()
{
    if (m_tray) {
        QScreen *screen = QGuiApplication::primaryScreen();
        const QRect icon = m_tray->geometry();
        if (QScreen *iconScreen = icon.isValid() ? QGuiApplication::screenAt(icon.center()) : nullptr)
            screen = iconScreen;
        if (screen)
            m_panel.setPosition(placement(icon, screen->availableGeometry(), panelSize));
    }
    m_panel.show();
    m_panel.raise();
    m_panel.requestActivate();
}

void PanelHost::windowActiveChanged()
{
    if (m_panel.isActive() || !m_panel.isVisible())
        return;
    m_panel.hide();
    m_autoHiddenAt = m_clock.now();
}
