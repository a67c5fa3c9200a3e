// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "RecordingLinkOpener.h"

#include "kit/IconLoader.h"
#include "kit/KitEnvironment.h"
#include "kit/KitServices.h"
#include "platform/AppInfo.h"

#include <QDir>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickWindow>
#include <QTest>
#include <QtQml/QQmlExtensionPlugin>

Q_IMPORT_QML_PLUGIN(Quorvane_KitPlugin)
Q_IMPORT_QML_PLUGIN(Quorvane_OnboardingPlugin)

namespace {

QStringList messages;

void collect(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type != QtDebugMsg && type != QtInfoMsg)
        messages.append(message);
}

} // namespace

// About and every page state of the introduction, rendered in both schemes to PNG files in the
// build folder for a person to look at; each loads without a QML warning.
class tst_OnboardingGallery : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        messages.clear();
        qInstallMessageHandler(collect);
    }

    void cleanup() { qInstallMessageHandler(nullptr); }

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
        IconLoader icons(resourceBundle().directory());
        QQmlEngine engine;
        new KitServices(engine, icons);
        qmlRegisterType<RecordingLinkOpener>("OnboardingTest", 1, 0, "RecordingLinkOpener");
        QQmlComponent type(&engine,
                           QUrl::fromLocalFile(QStringLiteral(ONBOARDING_QML_DIR "/") + scene + QStringLiteral(".qml")));
        QVERIFY2(type.isReady(), qPrintable(type.errorString()));
        auto *environment = engine.singletonInstance<KitEnvironment *>(qmlTypeId("Quorvane.Kit", 1, 0, "KitEnvironment"));
        QVERIFY(environment);
        environment->setScheme(scheme);
        // Pages come in at once, so the picture shows them settled.
        environment->setReduceMotion(true);
        std::unique_ptr<QObject> object(type.create());
        auto *gallery = qobject_cast<QQuickItem *>(object.get());
        QVERIFY2(gallery, qPrintable(type.errorString()));
        QVERIFY(QMetaObject::invokeMethod(gallery, "advance"));

        QQuickWindow window;
        window.setColor(scheme == KitPalette::Scheme::Dark ? QColor(40, 44, 52) : QColor(200, 214, 230));
        window.resize(int(gallery->width()), int(gallery->height()));
        gallery->setParentItem(window.contentItem());
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::MetaCall);
        const QImage image = window.grabWindow();
        QVERIFY(!image.isNull());
        const QString file = QDir(QCoreApplication::applicationDirPath())
                                 .filePath(QStringLiteral("../onboarding-%1-%2.png")
                                               .arg(scene, scheme == KitPalette::Scheme::Dark ? "dark" : "light"));
        QVERIFY(image.save(file));
        gallery->setParentItem(nullptr);
        QVERIFY2(messages.isEmpty(), qPrintable(messages.join(u'\n')));
    }
};

QTEST_MAIN(tst_OnboardingGallery)
#include "tst_OnboardingGallery.moc"
