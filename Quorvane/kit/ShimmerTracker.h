// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include <QObject>
#include <QPointF>
#include <QtQml/qqmlregistration.h>

#include <optional>

class Clock;

/**
 * @brief Where the pointer last moved over a shimmer field, and when. The field's owner writes
 * it from hover events; the field only reads it, so writing redraws nothing by itself.
 */
class ShimmerTracker : public QObject
{
    Q_OBJECT
    QML_ELEMENT

public:
    explicit ShimmerTracker(QObject *parent = nullptr);

    /// Seconds since 1 January 2001, 00:00:00 UTC, on that clock.
    [[nodiscard]] static double referenceSeconds(const Clock &clock);

    /// Tests hand in a clock they move by hand.
    void setClock(const Clock *clock);

    /// The pointer moved to `point`, in the field's own coordinates.
    Q_INVOKABLE void moved(QPointF point);
    /// The pointer left: its effect ends at once, the point stays.
    Q_INVOKABLE void left();

    [[nodiscard]] std::optional<QPointF> point() const { return m_point; }
    [[nodiscard]] double lastMoved() const { return m_lastMoved; }

private:
    const Clock *m_clock;
    std::optional<QPointF> m_point;
    double m_lastMoved = 0;
};
