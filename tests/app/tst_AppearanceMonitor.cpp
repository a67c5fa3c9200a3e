// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "ModelHarness.h"
#include "app/AppearanceMonitor.h"
#include "app/PanelLook.h"
#include "app/PanelState.h"
#include "kit/KitEnvironment.h"
#include "platform/AppearancePortal.h"
#include "support/PortalStub.h"

#include <QDir>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickWindow>
#include <QSignalSpy>
#include <QTest>
#include <QtQml/QQmlExtensionPlugin>

Q_IMPORT_QML_PLUGIN(QuorvanePlugin)
Q_IMPORT_QML_PLUGIN(Quorvane_KitPlugin)
Q_IMPORT_QML_PLUGIN(Quorvane_PanelPlugin)
Q_IMPORT_QML_PLUGIN(Quorvane_SchedulingPlugin)
Q_IMPORT_QML_PLUGIN(Quorvane_OnboardingPlugin)

using Scheme = KitPalette::Scheme;

namespace {

const QString appearance = QStringLiteral("org.freedesktop.appearance");
const QString colorScheme = QStringLiteral("color-scheme");

/// How many pixels of the item, as the window shows it now, have the colour.
qsizetype pixelsOf(QQuickWindow &window, const QQuickItem &item, const QColor &colour)
{
    const QImage image = window.grabWindow();
    const qreal scale = image.devicePixelRatio();
    const QRect area = QRectF(item.mapToScene(QPointF()) * scale, item.size() * scale).toAlignedRect();
    qsizetype count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            const QColor pixel = image.pixelColor(x, y);
            if (std::abs(pixel.redF() - colour.redF()) < 0.04 && std::abs(pixel.greenF() - colour.greenF()) < 0.04
                && std::abs(pixel.blueF() - colour.blueF()) < 0.04)
                ++count;
        }
    }
    return count;
}

} // namespace

// The panel's scheme follows the desktop: the portal's word first, the palette without it, and a
// switch is announced once.
class tst_AppearanceMonitor : public QObject
{
    Q_OBJECT

private slots:
    void rule_data()
    {
        QTest::addColumn<std::optional<bool>>("prefersDark");
        QTest::addColumn<bool>("paletteIsDark");
        QTest::addColumn<Scheme>("scheme");
        QTest::newRow("portal dark") << std::optional<bool>(true) << false << Scheme::Dark;
        QTest::newRow("portal light over a dark palette") << std::optional<bool>(false) << true << Scheme::Light;
        QTest::newRow("no portal, dark palette") << std::optional<bool>() << true << Scheme::Dark;
        QTest::newRow("no portal, light palette") << std::optional<bool>() << false << Scheme::Light;
    }

    void rule()
    {
        QFETCH(std::optional<bool>, prefersDark);
        QFETCH(bool, paletteIsDark);
        QFETCH(Scheme, scheme);
        QCOMPARE(AppearanceMonitor::colorScheme(prefersDark, paletteIsDark), scheme);
    }

    void followsTheDesktop()
    {
        PortalStub stub;
        QVERIFY(stub.isRegistered());
        stub.set(appearance, colorScheme, QVariant::fromValue(1u));
        AppearancePortal portal;
        AppearanceMonitor monitor(portal, [] { return false; });
        QSignalSpy changed(&monitor, &AppearanceMonitor::schemeChanged);
        QTRY_COMPARE(monitor.scheme(), Scheme::Dark);
        QCOMPARE(changed.size(), 1);

        stub.change(appearance, colorScheme, QVariant::fromValue(2u));
        QTRY_COMPARE(monitor.scheme(), Scheme::Light);
        QCOMPARE(changed.size(), 2);
        // A repeated value, and a change to the animations, leave the scheme alone.
        stub.change(appearance, colorScheme, QVariant::fromValue(2u));
        QSignalSpy motion(&monitor, &AppearanceMonitor::reduceMotionChanged);
        stub.change(QStringLiteral("org.gnome.desktop.interface"), QStringLiteral("enable-animations"), false);
        QTRY_VERIFY(monitor.reduceMotion());
        QCOMPARE(motion.size(), 1);
        QCOMPARE(changed.size(), 2);
    }

    // The desktop's switch recolours the open panel without reopening it: its mark turns from
    // one scheme's accent to the other's, and a repeated value redraws nothing.
    void anOpenPanelFollowsTheDesktop()
    {
        PortalStub stub;
        QVERIFY(stub.isRegistered());
        stub.set(appearance, colorScheme, QVariant::fromValue(2u));
        AppearancePortal portal;
        AppearanceMonitor monitor(portal, [] { return true; });
        QTRY_COMPARE(monitor.scheme(), Scheme::Light);

        ModelHarness harness;
        PanelState state(*harness.model, harness.clock, harness.time.delay());
        QQmlEngine engine;
        harness.model->attach(engine);
        QQmlComponent root(&engine, QUrl(QStringLiteral("qrc:/Quorvane/PanelRoot.qml")));
        QVERIFY2(root.isReady(), qPrintable(root.errorString()));
        auto *kit = engine.singletonInstance<KitEnvironment *>(qmlTypeId("Quorvane.Kit", 1, 0, "KitEnvironment"));
        QVERIFY(kit);
        monitor.applyTo(*kit);
        QCOMPARE(kit->scheme(), Scheme::Light);
        std::unique_ptr<QQuickWindow> window(qobject_cast<QQuickWindow *>(root.createWithInitialProperties(
            {{QStringLiteral("model"), QVariant::fromValue(harness.model.get())},
             {QStringLiteral("panel"), QVariant::fromValue(&state)}})));
        QVERIFY2(window, qPrintable(root.errorString()));
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        QSignalSpy reopened(window.get(), &QWindow::visibleChanged);
        auto *mark = window->findChild<QQuickItem *>(QStringLiteral("appMark"));
        QVERIFY(mark);
        const QColor light = PanelLook::accent(Scheme::Light), dark = PanelLook::accent(Scheme::Dark);
        QTRY_VERIFY(pixelsOf(*window, *mark, light) > 0);
        QCOMPARE(pixelsOf(*window, *mark, dark), 0);
        QVERIFY(window->grabWindow().save(QDir::current().filePath(QStringLiteral("panel-follows-light.png"))));

        QSignalSpy kitSwitched(kit, &KitEnvironment::schemeChanged);
        stub.change(appearance, colorScheme, QVariant::fromValue(1u));
        QTRY_COMPARE(kit->scheme(), Scheme::Dark);
        QTRY_VERIFY(pixelsOf(*window, *mark, dark) > 0);
        QCOMPARE(pixelsOf(*window, *mark, light), 0);
        QVERIFY(window->grabWindow().save(QDir::current().filePath(QStringLiteral("panel-follows-dark.png"))));

        // The same value again, then a change that is announced: the scheme stayed put meanwhile.
        stub.change(appearance, colorScheme, QVariant::fromValue(1u));
        stub.change(QStringLiteral("org.gnome.desktop.interface"), QStringLiteral("enable-animations"), false);
        QTRY_VERIFY(kit->reduceMotion());
        QCOMPARE(kitSwitched.size(), 1);
        QCOMPARE(reopened.size(), 0);
        window.reset();
        QTRY_VERIFY(!harness.model->isRefreshing());
    }

    void withoutAPortalThePaletteDecides()
    {
        AppearancePortal portal(QDBusConnection(QStringLiteral("not connected")));
        AppearanceMonitor monitor(portal, [] { return true; });
        QCOMPARE(monitor.scheme(), Scheme::Dark);
        QVERIFY(!monitor.reduceMotion());
    }
};

QTEST_MAIN(tst_AppearanceMonitor)
#include "tst_AppearanceMonitor.moc"
