// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "app/MenubarLabel.h"

#include "app/AppearanceMonitor.h"
#include "kit/IconLoader.h"
#include "kit/TemplateIcon.h"

#include <QPixmap>
#include <QSystemTrayIcon>

MenubarLabel::MenubarLabel(IconLoader &icons)
    : m_icons(icons)
{
}

QColor MenubarLabel::tint(KitPalette::Scheme scheme)
{
    return KitPalette::primaryLabel(scheme);
}

bool MenubarLabel::usesFallback()
{
    drawing();
    return m_fallback;
}

QImage MenubarLabel::image(KitPalette::Scheme scheme, qreal scale)
{
    const QByteArray &art = drawing();
    if (art.isEmpty()) {
        QImage blank((QSizeF(size) * scale).toSize(), QImage::Format_ARGB32_Premultiplied);
        blank.setDevicePixelRatio(scale);
        blank.fill(Qt::transparent);
        return blank;
    }
    return TemplateIcon::tinted(art, QSizeF(size), tint(scheme), scale);
}

QIcon MenubarLabel::icon(KitPalette::Scheme scheme)
{
    QIcon icon;
    // The tray picks the sharpest for its screen and centres it in its slot without enlarging it.
    for (const qreal scale : {1.0, 2.0})
        icon.addPixmap(QPixmap::fromImage(image(scheme, scale)));
    return icon;
}

void MenubarLabel::show(QSystemTrayIcon &tray, AppearanceMonitor &appearance)
{
    tray.setToolTip(name);
    tray.setIcon(icon(appearance.scheme()));
    QObject::connect(&appearance, &AppearanceMonitor::schemeChanged, &tray,
                     [this, &tray, &appearance] { tray.setIcon(icon(appearance.scheme())); });
}

const QByteArray &MenubarLabel::drawing()
{
    if (!m_drawing) {
        std::optional<QByteArray> mark = m_icons.microIcon(markName);
        m_fallback = !mark;
        m_drawing = mark ? std::move(*mark) : m_icons.microIcon(fallbackSymbol).value_or(QByteArray());
    }
    return *m_drawing;
}
