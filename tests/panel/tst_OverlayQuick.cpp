// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "OverlayFixture.h"

#include <QQmlEngine>
#include <QtQml/QQmlExtensionPlugin>
#include <QtQuickTest>

Q_IMPORT_QML_PLUGIN(Quorvane_KitPlugin)
Q_IMPORT_QML_PLUGIN(Quorvane_PanelPlugin)

// The behaviour of the panel's overlays and rows under the pointer and the keyboard (tests in
// qml/), over the fixture's clock, confirm queues, accounts and stores.
class PanelQuickSetup : public QObject
{
    Q_OBJECT

public slots:
    void qmlEngineAvailable(QQmlEngine *engine)
    {
        if (!m_fixture)
            m_fixture = std::make_unique<OverlayFixture>();
        m_fixture->serve(*engine);
        qmlRegisterSingletonInstance("PanelTest", 1, 0, "PanelTest", m_fixture.get());
    }

private:
    std::unique_ptr<OverlayFixture> m_fixture;
};

QUICK_TEST_MAIN_WITH_SETUP(tst_OverlayQuick, PanelQuickSetup)
#include "tst_OverlayQuick.moc"
