// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "RecordingLinkOpener.h"

#include "kit/IconLoader.h"
#include "kit/KitServices.h"
#include "platform/AppInfo.h"

#include <QQmlEngine>
#include <QtQml/QQmlExtensionPlugin>
#include <QtQuickTest>

#include <memory>

Q_IMPORT_QML_PLUGIN(Quorvane_KitPlugin)
Q_IMPORT_QML_PLUGIN(Quorvane_OnboardingPlugin)

// About and the introduction under the pointer and the keyboard (tests in qml/), over a stand-in
// of the application model and a browser that only records.
class OnboardingQuickSetup : public QObject
{
    Q_OBJECT

public slots:
    void qmlEngineAvailable(QQmlEngine *engine)
    {
        if (!m_icons)
            m_icons = std::make_unique<IconLoader>(resourceBundle().directory());
        new KitServices(*engine, *m_icons);
        qmlRegisterType<RecordingLinkOpener>("OnboardingTest", 1, 0, "RecordingLinkOpener");
    }

private:
    std::unique_ptr<IconLoader> m_icons;
};

QUICK_TEST_MAIN_WITH_SETUP(tst_OnboardingQuick, OnboardingQuickSetup)
#include "tst_OnboardingQuick.moc"
