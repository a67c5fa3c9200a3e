// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include "kit/KitPalette.h"

#include <QByteArray>
#include <QColor>
#include <QIcon>
#include <QImage>
#include <QSize>
#include <QString>

#include <optional>

class AppearanceMonitor;
class IconLoader;
class QSystemTrayIcon;

/**
 * @brief The application's mark in the tray: the bundle's "menubar-icon" drawn as a template in
 * the foreground colour of the current scheme, so it reads on a light bar and on a dark one.
 *
 * The drawing is looked up once, on first use, and kept (a missing or unreadable file too); the
 * symbol the mark stands for then takes its place for the life of the process.
 */
class MenubarLabel final
{
public:
    /// The mark's square in the tray, in logical pixels, whatever the file's own size.
    static constexpr QSize size{15, 15};
    static inline const QString markName = QStringLiteral("menubar-icon");
    static inline const QString fallbackSymbol = QStringLiteral("point.3.connected.trianglepath.dotted");
    static inline const QString name = QStringLiteral("Quorvane");

    /// `icons` outlives the label.
    explicit MenubarLabel(IconLoader &icons);

    /// The foreground of a bar in `scheme`: a dark mark on a light bar, a light one on a dark bar.
    [[nodiscard]] static QColor tint(KitPalette::Scheme scheme);

    /// Whether the symbol stands in for a missing or unreadable file.
    [[nodiscard]] bool usesFallback();
    /// The mark for a bar in `scheme`, `size` points at `scale` device pixels a point.
    [[nodiscard]] QImage image(KitPalette::Scheme scheme, qreal scale);
    /// The mark at the usual device scales, for the tray.
    [[nodiscard]] QIcon icon(KitPalette::Scheme scheme);

    /// Gives `tray` its name and the mark in `appearance`'s scheme, redrawn on every switch.
    void show(QSystemTrayIcon &tray, AppearanceMonitor &appearance);

private:
    /// The drawing the mark shows: the file, else the symbol; empty when neither reads.
    const QByteArray &drawing();

    IconLoader &m_icons;
    std::optional<QByteArray> m_drawing;
    bool m_fallback = false;
};
