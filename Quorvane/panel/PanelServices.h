// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include <QObject>

class Clock;
class QQmlEngine;

/**
 * @brief What the panel's views take from the application's owner: the clock their
 * time-dependent texts and buttons read.
 *
 * Like the kit's services it rides on the QML engine, so each engine (the application's, every
 * test's) reads the time its own owner handed in.
 */
class PanelServices : public QObject
{
    Q_OBJECT

public:
    /// Hands `clock` to every view `engine` makes. The engine owns the result; `clock` must
    /// outlive the engine.
    PanelServices(QQmlEngine &engine, const Clock &clock);

    /// The clock handed to the engine that made `object`; the system clock when nothing was
    /// handed in, so a view made outside a served engine still tells the time.
    [[nodiscard]] static const Clock &clockOf(const QObject *object);

private:
    const Clock &m_clock;
};
