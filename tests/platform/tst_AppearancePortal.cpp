// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "platform/AppearancePortal.h"
#include "support/PortalStub.h"

#include <QSignalSpy>
#include <QTest>

namespace {

const QString appearance = QStringLiteral("org.freedesktop.appearance");
const QString interface = QStringLiteral("org.gnome.desktop.interface");

} // namespace

// The desktop's dark preference and animation switch come from the portal, and only real changes
// are announced.
class tst_AppearancePortal : public QObject
{
    Q_OBJECT

private slots:
    void readsAndFollows()
    {
        PortalStub stub;
        QVERIFY(stub.isRegistered());
        stub.set(appearance, QStringLiteral("color-scheme"), QVariant::fromValue(1u));
        stub.set(interface, QStringLiteral("enable-animations"), false);
        AppearancePortal portal;
        QSignalSpy changed(&portal, &AppearancePortal::changed);
        QTRY_COMPARE(portal.prefersDark(), std::optional<bool>(true));
        QTRY_COMPARE(portal.animationsOff(), std::optional<bool>(true));
        QCOMPARE(changed.size(), 2);

        stub.change(appearance, QStringLiteral("color-scheme"), QVariant::fromValue(2u));
        QTRY_COMPARE(portal.prefersDark(), std::optional<bool>(false));
        QCOMPARE(changed.size(), 3);
        // No preference (0) is light too: nothing changes, nothing is announced; another key of
        // the group is none of ours.
        stub.change(appearance, QStringLiteral("color-scheme"), QVariant::fromValue(0u));
        stub.change(appearance, QStringLiteral("accent-color"), QVariant::fromValue(1u));
        stub.change(appearance, QStringLiteral("color-scheme"), QVariant::fromValue(1u));
        QTRY_COMPARE(portal.prefersDark(), std::optional<bool>(true));
        QCOMPARE(changed.size(), 4);
    }

    void withoutAPortal()
    {
        AppearancePortal portal(QDBusConnection(QStringLiteral("not connected")));
        QCOMPARE(portal.prefersDark(), std::nullopt);
        QCOMPARE(portal.animationsOff(), std::nullopt);
    }
};

QTEST_GUILESS_MAIN(tst_AppearancePortal)
#include "tst_AppearancePortal.moc"
