// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include <QObject>

class IconLoader;
class QQmlEngine;

/**
 * @brief What the kit's views take from the application's owner: the icon loader.
 *
 * The owner makes one for each QML engine before that engine loads any view, and the kit's C++
 * items find it through the engine that made them. It rides on the engine, as the engine's image
 * providers do, rather than on a static instance: each engine (the application's, every test's)
 * then draws from what its own owner handed in, and nothing outlives what it points to.
 */
class KitServices : public QObject
{
    Q_OBJECT

public:
    /// Hands `icons` to every view `engine` makes. The engine owns the result and deletes it;
    /// `icons` must outlive the engine.
    KitServices(QQmlEngine &engine, IconLoader &icons);

    /// What was handed to the engine that made `object`; null for an object made outside an
    /// engine, or by an engine that was handed nothing.
    [[nodiscard]] static KitServices *of(const QObject *object);

    [[nodiscard]] IconLoader &icons() const { return m_icons; }

private:
    IconLoader &m_icons;
};
