// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include "kit/IconLoader.h"
#include "kit/KitPalette.h"

#include <QColor>
#include <QQmlEngine>
#include <QQuickWindow>
#include <QVariantMap>

#include <memory>
#include <optional>

class KitEnvironment;
class QQmlComponent;
class QQuickItem;

/**
 * @brief A QML engine whose kit draws its icons from the built resource bundle, as the views'
 * pictures need them.
 */
struct KitEngine
{
    KitEngine();

    // The loader outlives the engine that draws from it.
    IconLoader icons;
    QQmlEngine engine;
};

/**
 * @brief One QML scene in a window of its own, in one colour scheme, drawn into a PNG in the
 * build folder for a person to look at.
 *
 * The engine stays the caller's, as each view test serves it differently (the kit's services,
 * a fixture's, a whole application model). A failed step returns null or false and leaves its
 * reason in errors(), for the check that fails to print.
 */
class ScreenshotWindow
{
public:
    ScreenshotWindow(QQmlEngine &engine, KitPalette::Scheme scheme);
    ~ScreenshotWindow();
    ScreenshotWindow(const ScreenshotWindow &) = delete;
    ScreenshotWindow &operator=(const ScreenshotWindow &) = delete;

    /// Sets the kit's reduce-motion on the next load; left alone, the engine's own stands.
    void setReduceMotion(bool reduceMotion) { m_reduceMotion = reduceMotion; }
    /// What shows where the scene draws nothing or draws through; each scheme has its own.
    void setBackdrop(const QColor &colour);

    /// Compiles the scene, sets the scheme on the kit it imports and makes the scene with
    /// those properties, in place of any earlier one; null when it has QML errors.
    [[nodiscard]] QQuickItem *load(const QUrl &source, const QVariantMap &properties = {});
    /// The same from QML text, which resolves its relative names against @p url.
    [[nodiscard]] QQuickItem *load(const QByteArray &qml, const QUrl &url, const QVariantMap &properties = {});
    /// Takes the scene out of the window and destroys it, before what it shows goes away.
    void unload();

    /// Shows the window at the scene's own size and waits until it is on screen.
    [[nodiscard]] bool show();
    /// Shows the window at that size (the scene may stand anywhere in it) and waits until it
    /// is on screen.
    [[nodiscard]] bool show(QSize size);

    /// The window as it stands once the events already posted have run.
    [[nodiscard]] QImage grab();
    /// Grabs the window into <build folder>/<stem>-<light|dark>.png.
    [[nodiscard]] bool save(const QString &stem);

    [[nodiscard]] QQuickItem *item() const { return m_item; }
    /// The kit's settings in this engine, once a scene has imported the kit.
    [[nodiscard]] KitEnvironment *environment() const { return m_environment; }
    [[nodiscard]] QQuickWindow &window() { return m_window; }
    [[nodiscard]] KitPalette::Scheme scheme() const { return m_scheme; }
    /// Why the last step failed.
    [[nodiscard]] const QString &errors() const { return m_errors; }

    /// "light" or "dark", as the pictures' names spell it.
    [[nodiscard]] static QString schemeName(KitPalette::Scheme scheme);
    /// Where the picture of that file name goes: the build folder, above the test binaries.
    [[nodiscard]] static QString pictureFile(const QString &name);

private:
    QQuickItem *create(QQmlComponent &type, const QVariantMap &properties);

    QQmlEngine &m_engine;
    KitPalette::Scheme m_scheme;
    std::optional<bool> m_reduceMotion;
    KitEnvironment *m_environment = nullptr;
    QQuickWindow m_window;
    std::unique_ptr<QObject> m_root;
    QQuickItem *m_item = nullptr;
    QString m_errors;
};
