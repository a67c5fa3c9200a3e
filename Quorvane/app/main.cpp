// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "app/AppModel.h"
#include "app/PanelHost.h"
#include "platform/AppInfo.h"
#include "platform/PanelToggle.h"

#include <QApplication>
#include <QCoreApplication>
#include <QIcon>
#include <QLoggingCategory>
#include <QQmlApplicationEngine>
#include <QQmlComponent>
#include <QQuickWindow>
#include <QSystemTrayIcon>
#include <QtQml/QQmlExtensionPlugin>

#include <cstdio>
#include <memory>

Q_IMPORT_QML_PLUGIN(QuorvanePlugin)
Q_IMPORT_QML_PLUGIN(Quorvane_KitPlugin)

// Off by default; the end-to-end tests turn it on to watch the panel come and go from outside.
Q_LOGGING_CATEGORY(lcPanel, "studio.velliscor.quorvane.panel", QtWarningMsg)

namespace {

// Checks that the installed resources are usable without opening a window or needing a display.
int runSmokeTest()
{
    if (resourceBundle().url(QStringLiteral("menubar-icon"), QStringLiteral("svg")).isEmpty()) {
        std::fprintf(stderr, "quorvane: smoke test failed: menubar-icon.svg not found in %s\n",
                     qPrintable(resourceBundle().directory()));
        return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    if (qgetenv("QUORVANE_SMOKE") == "1") {
        QCoreApplication app(argc, argv);
        return runSmokeTest();
    }
    // A desktop shortcut binds this: it toggles the running application's panel and ends.
    if (argc == 2 && qstrcmp(argv[1], "--toggle") == 0) {
        QCoreApplication app(argc, argv);
        if (const std::optional<QString> failure = PanelToggle::send()) {
            std::fprintf(stderr, "quorvane: %s\n", qPrintable(*failure));
            return 1;
        }
        return 0;
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quorvane"));
    QApplication::setApplicationVersion(appVersion());
    QApplication::setOrganizationDomain(QStringLiteral("velliscor.studio"));

    AppModel model;
    model.cloud().startCloudBootstrap();
    QQmlApplicationEngine engine;
    model.attach(engine);
    engine.load(QUrl(QStringLiteral("qrc:/Quorvane/PanelRoot.qml")));
    auto *panel = engine.rootObjects().isEmpty()
        ? nullptr
        : qobject_cast<QQuickWindow *>(engine.rootObjects().constFirst());
    if (!panel)
        return 1;

    // Claude's registry, the claude tool and the backend wait for the panel's first showing; later
    // showings only refresh.
    QObject::connect(panel, &QWindow::visibleChanged, &model, [&model, panel](bool visible) {
        qCInfo(lcPanel, "panel %s at %d,%d", visible ? "shown" : "hidden", panel->x(), panel->y());
        model.setPanelIsOpen(visible);
        if (visible)
            model.bootstrap();
    });

    QQmlComponent pillWindow(&engine, QUrl(QStringLiteral("qrc:/Quorvane/ConnectingPillHost.qml")));
    const std::unique_ptr<QObject> pillHost(pillWindow.createWithInitialProperties(
        {{QStringLiteral("pill"), QVariant::fromValue(&model.connectingPill())}}));
    if (!pillHost)
        qWarning("quorvane: the connecting pill's window could not be made: %s", qPrintable(pillWindow.errorString()));

    const QIcon icon(resourceBundle().url(QStringLiteral("menubar-icon"), QStringLiteral("svg")).toLocalFile());
    QSystemTrayIcon tray(icon);
    tray.setToolTip(QStringLiteral("Quorvane"));
    const bool hasTray = QSystemTrayIcon::isSystemTrayAvailable();
    // Without a tray host the icon would show nowhere: the panel is then an ordinary window.
    PanelHost host(*panel, hasTray ? &tray : nullptr);
    // A tapped outcome notification brings the panel up, and never closes it.
    model.cloud().setPanelActivator([&host] { host.ensureOpen(); });
    if (hasTray) {
        tray.show();
        QApplication::setQuitOnLastWindowClosed(false);
    }

    PanelToggle toggle;
    if (toggle.isListening())
        QObject::connect(&toggle, &PanelToggle::toggleRequested, &host, &PanelHost::toggle);
    else
        qWarning("quorvane: no session bus; the panel cannot be toggled from outside");

    if (!hasTray)
        host.ensureOpen();
    return QApplication::exec();
}
