// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "kit/KitEnvironment.h"
#include "model/ErrorLog.h"
#include "support/MemorySystemLog.h"

#include <QDir>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickWindow>
#include <QTest>
#include <QtQml/QQmlExtensionPlugin>

Q_IMPORT_QML_PLUGIN(Quorvane_KitPlugin)

namespace {

QStringList messages;

void collect(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type != QtDebugMsg && type != QtInfoMsg)
        messages.append(message);
}

} // namespace

// Every component loads without a QML warning, and the gallery of all of them renders in both
// schemes to PNG files in the build folder, for a person to look at.
class tst_KitGallery : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        messages.clear();
        qInstallMessageHandler(collect);
    }

    void cleanup()
    {
        qInstallMessageHandler(nullptr);
    }

    void componentLoads_data()
    {
        QTest::addColumn<QString>("component");
        for (const char *name :
             {"CircleIcon", "CircleIconButton", "ConnectingPillContent", "DialogButton", "DialogButtonRow", "DialogCheckbox",
              "DialogHeading", "DialogIcon", "DialogShell", "DialogSubheading", "EmptyState", "FadeThenCollapse", "GlassCard",
              "GlassPanelBackground", "GlassPillBackdrop", "GlassRim", "LargeIcon", "MicroIcon", "ModeToggleCard", "PillButton",
              "PillLabel", "PressablePill", "QuietCloseButton", "ReportButton", "ShimmerField", "SmallCard", "SmallCardLink",
              "Spinner", "TemplateIcon", "Wordmark", "ConnectingPillWindow"})
            QTest::newRow(name) << QString::fromLatin1(name);
    }

    void componentLoads()
    {
        QFETCH(QString, component);
        MemorySystemLog systemLog;
        ErrorLog log(systemLog);
        QQmlEngine engine;
        QQmlComponent type(&engine);
        type.setData("import Quorvane.Kit\n" + component.toUtf8() + " {}\n", QUrl());
        QVERIFY2(type.isReady(), qPrintable(type.errorString()));
        std::unique_ptr<QObject> object(type.createWithInitialProperties({{"log", QVariant::fromValue(&log)}}));
        QVERIFY(object);
        if (auto *item = qobject_cast<QQuickItem *>(object.get())) {
            QQuickWindow window;
            window.resize(400, 300);
            item->setParentItem(window.contentItem());
            window.show();
            QVERIFY(QTest::qWaitForWindowExposed(&window));
            QVERIFY(!window.grabWindow().isNull());
            item->setParentItem(nullptr);
        }
        QVERIFY2(messages.isEmpty(), qPrintable(messages.join(u'\n')));
    }

    void gallery_data()
    {
        QTest::addColumn<KitPalette::Scheme>("scheme");
        QTest::newRow("light") << KitPalette::Scheme::Light;
        QTest::newRow("dark") << KitPalette::Scheme::Dark;
    }

    void gallery()
    {
        QFETCH(KitPalette::Scheme, scheme);
        MemorySystemLog systemLog;
        ErrorLog log(systemLog);
        QQmlEngine engine;
        QQmlComponent type(&engine, QUrl::fromLocalFile(QStringLiteral(KIT_QML_DIR "/Gallery.qml")));
        QVERIFY2(type.isReady(), qPrintable(type.errorString()));
        auto *environment = engine.singletonInstance<KitEnvironment *>(qmlTypeId("Quorvane.Kit", 1, 0, "KitEnvironment"));
        QVERIFY(environment);
        environment->setScheme(scheme);
        std::unique_ptr<QObject> object(type.createWithInitialProperties({{"errorLog", QVariant::fromValue(&log)}}));
        auto *gallery = qobject_cast<QQuickItem *>(object.get());
        QVERIFY(gallery);

        QQuickWindow window;
        window.setColor(scheme == KitPalette::Scheme::Dark ? QColor(40, 44, 52) : QColor(200, 214, 230));
        window.resize(int(gallery->width()), int(gallery->height()));
        gallery->setParentItem(window.contentItem());
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        // Let the glass tints, applied once their bindings settle, reach the screen.
        QTest::qWait(50);
        const QImage image = window.grabWindow();
        QVERIFY(!image.isNull());
        const QString file = QDir(QCoreApplication::applicationDirPath())
                                 .filePath(QStringLiteral("../kit-gallery-%1.png")
                                               .arg(scheme == KitPalette::Scheme::Dark ? "dark" : "light"));
        QVERIFY(image.save(file));
        gallery->setParentItem(nullptr);
        QVERIFY2(messages.isEmpty(), qPrintable(messages.join(u'\n')));
    }
};

QTEST_MAIN(tst_KitGallery)
#include "tst_KitGallery.moc"
