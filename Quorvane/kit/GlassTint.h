// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include "kit/KitPalette.h"

#include <QColor>
#include <QObject>
#include <QQmlParserStatus>
#include <QtQml/qqmlregistration.h>

#include <optional>

/**
 * @brief Decides how a glass backdrop takes on a new tint: the first tint and any tint that comes
 * with a change of colour scheme apply at once; a tint change under an unchanged scheme (hover,
 * variant) fades.
 *
 * The scheme and the tint are usually bound to the same environment value, so they can arrive
 * one after the other in either order; both are therefore applied together once the current
 * event has been handled.
 */
class GlassTint : public QObject, public QQmlParserStatus
{
    Q_OBJECT
    Q_INTERFACES(QQmlParserStatus)
    QML_ELEMENT

    /// The wanted tint; an invalid colour means no tint.
    Q_PROPERTY(QColor tint READ tint WRITE setTint NOTIFY tintChanged)
    /// The colour scheme the backdrop is drawn in.
    Q_PROPERTY(KitPalette::Scheme scheme READ scheme WRITE setScheme NOTIFY schemeChanged)
    /// The tint to draw (transparent when there is none).
    Q_PROPERTY(QColor color READ color NOTIFY colorChanged)
    /// Whether the latest change of `color` should fade (ease-out, 0.12 s) rather than jump.
    Q_PROPERTY(bool fades READ fades NOTIFY fadesChanged)

public:
    explicit GlassTint(QObject *parent = nullptr);

    [[nodiscard]] QColor tint() const { return m_tint; }
    void setTint(const QColor &tint);
    [[nodiscard]] KitPalette::Scheme scheme() const { return m_scheme; }
    void setScheme(KitPalette::Scheme scheme);
    [[nodiscard]] QColor color() const { return m_applied.isValid() ? m_applied : QColor(Qt::transparent); }
    [[nodiscard]] bool fades() const { return m_fades; }

    void classBegin() override;
    void componentComplete() override;

signals:
    void tintChanged();
    void schemeChanged();
    /// `fades` is always updated before this is emitted.
    void colorChanged();
    void fadesChanged();

private:
    void scheduleApply();
    void apply();

    QColor m_tint;
    KitPalette::Scheme m_scheme = KitPalette::Scheme::Light;
    QColor m_applied;
    std::optional<KitPalette::Scheme> m_lastScheme;
    bool m_fades = false;
    bool m_complete = true;
    bool m_applyPending = false;
};
