// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "account/BackendConfiguration.h"
#include "app/AppModel.h"
#include "app/AppearanceMonitor.h"
#include "app/MenubarLabel.h"
#include "app/PanelHost.h"
#include "app/PanelState.h"
#include "app/TrayPresence.h"
#include "kit/KitEnvironment.h"
#include "platform/AppInfo.h"
#include "platform/AppearancePortal.h"
#include "platform/BundleInfo.h"
#include "platform/PanelToggle.h"

#include <QApplication>
#include <QCoreApplication>
#include <QLoggingCategory>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickWindow>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QtQml/QQmlExtensionPlugin>

#include <cstdio>
#include <memory>

Q_IMPORT_QML_PLUGIN(QuorvanePlugin)
Q_IMPORT_QML_PLUGIN(Quorvane_KitPlugin)
Q_IMPORT_QML_PLUGIN(Quorvane_PanelPlugin)
Q_IMPORT_QML_PLUGIN(Quorvane_SchedulingPlugin)
Q_IMPORT_QML_PLUGIN(Quorvane_OnboardingPlugin)

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
    // The panel's view state lives beside the model, for as long as the process.
    PanelState panelState(model, model.clock(), ContinuousClock::delay());
    panelState.setBackendIsProdTest(BackendConfiguration::isProdTestMode(BundleInfo::main()));
    QObject::connect(&panelState, &PanelState::quitRequested, &app, &QCoreApplication::quit, Qt::QueuedConnection);

    QQmlEngine engine;
    model.attach(engine);
    AppearancePortal portal;
    AppearanceMonitor appearance(portal, &AppearanceMonitor::applicationPaletteIsDark);
    if (auto *kit = engine.singletonInstance<KitEnvironment *>(qmlTypeId("Quorvane.Kit", 1, 0, "KitEnvironment")))
        appearance.applyTo(*kit);
    QQmlComponent root(&engine, QUrl(QStringLiteral("qrc:/Quorvane/PanelRoot.qml")));
    const std::unique_ptr<QObject> rootObject(root.createWithInitialProperties(
        {{QStringLiteral("model"), QVariant::fromValue(&model)},
         {QStringLiteral("panel"), QVariant::fromValue(&panelState)}}));
    auto *panel = qobject_cast<QQuickWindow *>(rootObject.get());
    if (!panel) {
        std::fprintf(stderr, "quorvane: the panel could not be made: %s\n", qPrintable(root.errorString()));
        return 1;
    }
    QObject::connect(panel, &QWindow::visibleChanged, &model, [panel](bool visible) {
        qCInfo(lcPanel, "panel %s at %d,%d", visible ? "shown" : "hidden", panel->x(), panel->y());
    });

    QQmlComponent pillWindow(&engine, QUrl(QStringLiteral("qrc:/Quorvane/ConnectingPillHost.qml")));
    const std::unique_ptr<QObject> pillHost(pillWindow.createWithInitialProperties(
        {{QStringLiteral("pill"), QVariant::fromValue(&model.connectingPill())}}));
    if (!pillHost)
        qWarning("quorvane: the connecting pill's window could not be made: %s", qPrintable(pillWindow.errorString()));

    MenubarLabel label(model.icons());
    QSystemTrayIcon tray;
    label.show(tray, appearance);
    // Shown even without a tray host: Qt docks it into one that starts later.
    tray.show();
    TrayPresence trayPresence(&QSystemTrayIcon::isSystemTrayAvailable);
    // Without a tray host the icon would show nowhere: the panel is then an ordinary window.
    PanelHost host(*panel, trayPresence.isAvailable() ? &tray : nullptr, model.clock());
    // Claude's registry, the claude tool and the backend wait for the panel's first showing; later
    // showings refresh at most every two seconds. A tapped outcome notification brings the panel
    // up, and never closes it.
    host.follow(panelState, model.cloud());
    // With a tray the icon stays when the panel closes; without one a closed window is the user
    // leaving, and a process left running with nothing on screen would only puzzle them.
    QApplication::setQuitOnLastWindowClosed(!trayPresence.isAvailable());
    QObject::connect(&trayPresence, &TrayPresence::availableChanged, &host, [&host, &tray](bool available) {
        qCInfo(lcPanel, "tray %s", available ? "appeared" : "gone");
        QApplication::setQuitOnLastWindowClosed(!available);
        host.setTray(available ? &tray : nullptr);
    });
    // Queued, so that the line follows what the host made of the click.
    QObject::connect(
        &tray, &QSystemTrayIcon::activated, &host, [] { qCInfo(lcPanel, "tray clicked"); }, Qt::QueuedConnection);

    PanelToggle toggle;
    if (toggle.isListening())
        QObject::connect(&toggle, &PanelToggle::toggleRequested, &host, &PanelHost::toggle);
    else
        qWarning("quorvane: no session bus; the panel cannot be toggled from outside");

    if (!trayPresence.isAvailable())
        host.ensureOpen();
    // The first turn of the event loop: start-up is over.
    QTimer::singleShot(0, &host, [] { qCInfo(lcPanel, "running"); });
    return QApplication::exec();
}
