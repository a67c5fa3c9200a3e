// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include <QQmlEngine>
#include <QtQml/QQmlExtensionPlugin>
#include <QtQuickTest>

Q_IMPORT_QML_PLUGIN(Quorvane_KitPlugin)

// The behaviour of the kit's views under the pointer and the keyboard (tests in qml/).
class KitQuickSetup : public QObject
{
    Q_OBJECT

public slots:
    void qmlEngineAvailable(QQmlEngine *) {}
};

QUICK_TEST_MAIN_WITH_SETUP(tst_KitQuick, KitQuickSetup)
#include "tst_KitQuick.moc"
