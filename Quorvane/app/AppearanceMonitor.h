// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include "kit/KitPalette.h"

#include <QObject>

#include <functional>
#include <optional>

class AppearancePortal;
class KitEnvironment;

/**
 * @brief Light or dark as the desktop says, and whether it wants motion reduced; the panel draws
 * every colour from the scheme and follows a switch while it is open.
 *
 * The settings portal decides; without its answer the toolkit's palette does, and a change of the
 * application's palette is looked at again. Each value is announced only when it really changes,
 * so the panel redraws only on a switch.
 */
class AppearanceMonitor final : public QObject
{
    Q_OBJECT
    Q_PROPERTY(KitPalette::Scheme scheme READ scheme NOTIFY schemeChanged)
    Q_PROPERTY(bool dark READ dark NOTIFY schemeChanged)
    Q_PROPERTY(bool reduceMotion READ reduceMotion NOTIFY reduceMotionChanged)

public:
    /// `paletteIsDark` answers for the toolkit's palette when the portal has not.
    AppearanceMonitor(AppearancePortal &portal, std::function<bool()> paletteIsDark, QObject *parent = nullptr);

    /// Dark only when the desktop says so: the portal's preference, else the palette.
    [[nodiscard]] static KitPalette::Scheme colorScheme(std::optional<bool> prefersDark, bool paletteIsDark);
    /// The application palette's window colour is dark.
    [[nodiscard]] static bool applicationPaletteIsDark();

    [[nodiscard]] KitPalette::Scheme scheme() const { return m_scheme; }
    [[nodiscard]] bool dark() const { return m_scheme == KitPalette::Scheme::Dark; }
    [[nodiscard]] bool reduceMotion() const { return m_reduceMotion; }

    /// Keeps `kit` in this scheme and motion setting from now on, for as long as both live: the
    /// views of its engine, an open panel included, redraw at each switch.
    void applyTo(KitEnvironment &kit);

signals:
    void schemeChanged();
    void reduceMotionChanged();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void update();

    AppearancePortal &m_portal;
    std::function<bool()> m_paletteIsDark;
    KitPalette::Scheme m_scheme = KitPalette::Scheme::Light;
    bool m_reduceMotion = false;
};
