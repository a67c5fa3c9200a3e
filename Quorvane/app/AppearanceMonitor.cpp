// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "app/AppearanceMonitor.h"

#include "foundation/Notifying.h"
#include "kit/KitEnvironment.h"
#include "platform/AppearancePortal.h"

#include <QCoreApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QPalette>

AppearanceMonitor::AppearanceMonitor(AppearancePortal &portal, std::function<bool()> paletteIsDark, QObject *parent)
    : QObject(parent)
    , m_portal(portal)
    , m_paletteIsDark(std::move(paletteIsDark))
{
    m_scheme = colorScheme(m_portal.prefersDark(), m_paletteIsDark());
    m_reduceMotion = m_portal.animationsOff().value_or(false);
    connect(&m_portal, &AppearancePortal::changed, this, &AppearanceMonitor::update);
    // Qt 6.4 has no colour-scheme hint; a desktop theme that switches reaches the application as
    // a new palette, announced to the application object.
    if (QCoreApplication *application = QCoreApplication::instance())
        application->installEventFilter(this);
}

void AppearanceMonitor::applyTo(KitEnvironment &kit)
{
    const auto follow = [this, &kit] {
        kit.setScheme(m_scheme);
        kit.setReduceMotion(m_reduceMotion);
    };
    follow();
    connect(this, &AppearanceMonitor::schemeChanged, &kit, follow);
    connect(this, &AppearanceMonitor::reduceMotionChanged, &kit, follow);
}

bool AppearanceMonitor::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::ApplicationPaletteChange && watched == QCoreApplication::instance())
        update();
    return QObject::eventFilter(watched, event);
}

KitPalette::Scheme AppearanceMonitor::colorScheme(std::optional<bool> prefersDark, bool paletteIsDark)
{
    return prefersDark.value_or(paletteIsDark) ? KitPalette::Scheme::Dark : KitPalette::Scheme::Light;
}

bool AppearanceMonitor::applicationPaletteIsDark()
{
    const QColor window = QGuiApplication::palette().color(QPalette::Window);
    return window.lightness() < 128;
}

void AppearanceMonitor::update()
{
    assignNotifying(this, m_scheme, colorScheme(m_portal.prefersDark(), m_paletteIsDark()),
                    &AppearanceMonitor::schemeChanged);
    assignNotifying(this, m_reduceMotion, m_portal.animationsOff().value_or(false),
                    &AppearanceMonitor::reduceMotionChanged);
}
