// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "app/AppearanceMonitor.h"
#include "platform/AppearancePortal.h"
#include "support/PortalStub.h"

#include <QSignalSpy>
#include <QTest>

using Scheme = KitPalette::Scheme;

namespace {

const QString appearance = QStringLiteral("org.freedesktop.appearance");
const QString colorScheme = QStringLiteral("color-scheme");

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

    void withoutAPortalThePaletteDecides()
    {
        AppearancePortal portal(QDBusConnection(QStringLiteral("not connected")));
        AppearanceMonitor monitor(portal, [] { return true; });
        QCOMPARE(monitor.scheme(), Scheme::Dark);
        QVERIFY(!monitor.reduceMotion());
    }
};

QTEST_GUILESS_MAIN(tst_AppearanceMonitor)
#include "tst_AppearanceMonitor.moc"
