// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "PanelFixture.h"
#include "kit/IconLoader.h"
#include "kit/KitServices.h"
#include "platform/AppInfo.h"

#include <QQmlEngine>
#include <QtQml/QQmlExtensionPlugin>
#include <QtQuickTest>

#include <memory>

Q_IMPORT_QML_PLUGIN(Quorvane_KitPlugin)
Q_IMPORT_QML_PLUGIN(Quorvane_PanelPlugin)

// The behaviour of the panel's cards and hosts under the pointer and the keyboard (tests in
// qml/), over a stand-in model with real stores and fake actions, clipboard and browser.
class PanelQuickSetup : public QObject
{
    Q_OBJECT

public slots:
    void applicationAvailable()
    {
        qmlRegisterType<PanelFixture>("PanelTest", 1, 0, "PanelFixture");
        qmlRegisterUncreatableType<FakeActions>("PanelTest", 1, 0, "FakeActions", "the fixture's");
        qmlRegisterUncreatableType<FakeDesktop>("PanelTest", 1, 0, "FakeDesktop", "the fixture's");
    }

    void qmlEngineAvailable(QQmlEngine *engine)
    {
        if (!m_icons)
            m_icons = std::make_unique<IconLoader>(resourceBundle().directory());
        new KitServices(*engine, *m_icons);
    }

private:
    std::unique_ptr<IconLoader> m_icons;
};

QUICK_TEST_MAIN_WITH_SETUP(tst_PanelQuick, PanelQuickSetup)
#include "tst_PanelQuick.moc"
