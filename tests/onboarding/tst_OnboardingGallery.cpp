// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "RecordingLinkOpener.h"

#include "support/ScreenshotWindow.h"
#include "support/WarningLog.h"

#include <QQuickItem>
#include <QTest>
#include <QtQml/QQmlExtensionPlugin>

Q_IMPORT_QML_PLUGIN(Quorvane_KitPlugin)
Q_IMPORT_QML_PLUGIN(Quorvane_OnboardingPlugin)

// About and every page state of the introduction, rendered in both schemes to PNG files in the
// build folder for a person to look at; each loads without a QML warning.
class tst_OnboardingGallery : public QObject
{
    Q_OBJECT

    WarningLog m_warnings;

private slots:
    void init() { m_warnings.start(); }

    void cleanup() { m_warnings.stop(); }

    void gallery_data()
    {
        QTest::addColumn<QString>("scene");
        QTest::addColumn<KitPalette::Scheme>("scheme");
        for (const char *scene : {"AboutGallery", "IntroGallery"}) {
            QTest::addRow("%s light", scene) << QString::fromLatin1(scene) << KitPalette::Scheme::Light;
            QTest::addRow("%s dark", scene) << QString::fromLatin1(scene) << KitPalette::Scheme::Dark;
        }
    }

    void gallery()
    {
        QFETCH(QString, scene);
        QFETCH(KitPalette::Scheme, scheme);
        KitEngine kit;
        qmlRegisterType<RecordingLinkOpener>("OnboardingTest", 1, 0, "RecordingLinkOpener");
        ScreenshotWindow shot(kit.engine, scheme);
        // Pages come in at once, so the picture shows them settled.
        shot.setReduceMotion(true);
        QQuickItem *gallery =
            shot.load(QUrl::fromLocalFile(QStringLiteral(ONBOARDING_QML_DIR "/") + scene + QStringLiteral(".qml")));
        QVERIFY2(gallery, qPrintable(shot.errors()));
        QVERIFY(QMetaObject::invokeMethod(gallery, "advance"));
        QVERIFY2(shot.show(), qPrintable(shot.errors()));
        QVERIFY2(shot.save(QStringLiteral("onboarding-") + scene), qPrintable(shot.errors()));
        QVERIFY2(m_warnings.isEmpty(), qPrintable(m_warnings.text()));
    }
};

QTEST_MAIN(tst_OnboardingGallery)
#include "tst_OnboardingGallery.moc"
