// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "kit/IconLoader.h"
#include "kit/KitServices.h"
#include "support/ScreenshotWindow.h"
#include "support/WarningLog.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickWindow>
#include <QTest>
#include <QtQml/QQmlExtensionPlugin>

Q_IMPORT_QML_PLUGIN(Quorvane_KitPlugin)

// Every component loads without a QML warning, and the gallery of all of them renders in both
// schemes to PNG files in the build folder, for a person to look at.
class tst_KitGallery : public QObject
{
    Q_OBJECT

    WarningLog m_warnings;

private slots:
    void init() { m_warnings.start(); }

    void cleanup() { m_warnings.stop(); }

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
        KitEngine kit;
        QQmlComponent type(&kit.engine);
        type.setData("import Quorvane.Kit\n" + component.toUtf8() + " {}\n", QUrl());
        QVERIFY2(type.isReady(), qPrintable(type.errorString()));
        std::unique_ptr<QObject> object(type.create());
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
        QVERIFY2(m_warnings.isEmpty(), qPrintable(m_warnings.text()));
    }

    // Each engine draws from the loader its owner handed in; one handed nothing draws nothing
    // and says so.
    void iconsComeFromTheEnginesOwner()
    {
        QTemporaryDir withIcon;
        QTemporaryDir withoutIcon;
        QVERIFY(QDir(withIcon.path()).mkpath("icons"));
        QFile drawing(withIcon.filePath("icons/probe.svg"));
        QVERIFY(drawing.open(QIODevice::WriteOnly));
        const QByteArray square = "<svg xmlns='http://www.w3.org/2000/svg' viewBox='0 0 16 16'><path d='M2 2h12v12z'/></svg>";
        QVERIFY(drawing.write(square) == square.size());
        drawing.close();
        IconLoader found(withIcon.path());
        IconLoader missing(withoutIcon.path());
        const auto loaded = [](QQmlEngine &engine) {
            QQmlComponent type(&engine);
            type.setData("import Quorvane.Kit\nMicroIcon { symbol: \"probe\" }\n", QUrl());
            const std::unique_ptr<QObject> icon(type.create());
            return icon && icon->property("loaded").toBool();
        };
        QQmlEngine first;
        new KitServices(first, found);
        QQmlEngine second;
        new KitServices(second, missing);
        QVERIFY(loaded(first));
        QVERIFY(!loaded(second));
        QVERIFY2(m_warnings.isEmpty(), qPrintable(m_warnings.text()));

        QQmlEngine unserved;
        QVERIFY(!loaded(unserved));
        QCOMPARE(m_warnings.messages().size(), 1);
        QVERIFY(m_warnings.messages().constFirst().contains("KitServices"));
        m_warnings.clear();
    }

    // A scene that cannot be drawn says why, in the words the failing check prints, and leaves
    // the window empty.
    void brokenSceneSaysWhy_data()
    {
        QTest::addColumn<QByteArray>("qml");
        QTest::addColumn<QString>("reason");
        QTest::newRow("unknown type") << QByteArray("import Quorvane.Kit\nNoSuchCard {}\n")
                                      << "NoSuchCard is not a type";
        QTest::newRow("not an item") << QByteArray("import QtQml\nimport Quorvane.Kit\nQtObject {}\n")
                                     << "broken.qml is not an Item";
    }

    void brokenSceneSaysWhy()
    {
        QFETCH(QByteArray, qml);
        QFETCH(QString, reason);
        KitEngine kit;
        ScreenshotWindow shot(kit.engine, KitPalette::Scheme::Dark);
        QVERIFY(!shot.load(qml, QUrl(QStringLiteral("file:///scenes/broken.qml"))));
        QVERIFY2(shot.errors().contains(reason), qPrintable(shot.errors()));
        QVERIFY(!shot.item());
        QVERIFY(shot.window().contentItem()->childItems().isEmpty());
        QVERIFY(!shot.show());
        QCOMPARE(shot.errors(), QStringLiteral("There is no scene to show."));
        m_warnings.clear();
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
        KitEngine kit;
        ScreenshotWindow shot(kit.engine, scheme);
        QVERIFY2(shot.load(QUrl::fromLocalFile(QStringLiteral(KIT_QML_DIR "/Gallery.qml"))), qPrintable(shot.errors()));
        QVERIFY2(shot.show(), qPrintable(shot.errors()));
        QVERIFY2(shot.save(QStringLiteral("kit-gallery")), qPrintable(shot.errors()));
        QVERIFY2(m_warnings.isEmpty(), qPrintable(m_warnings.text()));
    }
};

QTEST_MAIN(tst_KitGallery)
#include "tst_KitGallery.moc"
