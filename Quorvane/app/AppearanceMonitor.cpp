// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "app/AppearanceMonitor.h"

#include "foundation/Notifying.h"
#include "platform/AppearancePortal.h"

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
