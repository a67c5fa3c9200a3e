// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "kit/IconLoader.h"
#include "kit/KitServices.h"
#include "platform/AppInfo.h"

#include <QQmlEngine>
#include <QtQml/QQmlExtensionPlugin>
#include <QtQuickTest>

#include <memory>

Q_IMPORT_QML_PLUGIN(Quorvane_KitPlugin)

// The behaviour of the kit's views under the pointer and the keyboard, and what they draw
// (tests in qml/). The views draw icons from the built resource bundle.
class KitQuickSetup : public QObject
{
    Q_OBJECT

public slots:
    void qmlEngineAvailable(QQmlEngine *engine)
    {
        // One loader for every test file's engine; it outlives them all.
        if (!m_icons)
            m_icons = std::make_unique<IconLoader>(resourceBundle().directory());
        new KitServices(*engine, *m_icons);
    }

private:
    std::unique_ptr<IconLoader> m_icons;
};

QUICK_TEST_MAIN_WITH_SETUP(tst_KitQuick, KitQuickSetup)
#include "tst_KitQuick.moc"
