// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "PanelFixture.h"
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
Q_IMPORT_QML_PLUGIN(Quorvane_PanelPlugin)

namespace {

QStringList messages;

void collect(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type != QtDebugMsg && type != QtInfoMsg)
        messages.append(message);
}

} // namespace

// The cards load without a QML warning and render in both schemes to PNG files in the build
// folder, for a person to look at: a project card in each MCP state and the six kinds of
// unmanaged entry.
class tst_PanelGallery : public QObject
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

    void gallery_data()
    {
        QTest::addColumn<KitPalette::Scheme>("scheme");
        QTest::newRow("light") << KitPalette::Scheme::Light;
        QTest::newRow("dark") << KitPalette::Scheme::Dark;
    }

    void gallery()
    {
        QFETCH(KitPalette::Scheme, scheme);
        PanelFixture fixture;
        fixture.addSite("site-live", "Acme Marketing", "acme", {"webflow-live"});
        const QStringList projects{
            fixture.addProject("Unregistered Co", "webflow-unregistered"),
            fixture.addProject("Checking Ltd", "webflow-checking"),
            fixture.addProject("Acme", "webflow-live"),
            fixture.addProject("Degraded & Sons", "webflow-degraded"),
            fixture.addProject("Needs Auth Studio", "webflow-needs-auth",
                               "Claude needs you to sign in to Webflow again for this connection.", "connectMCP"),
            fixture.addProject("Unavailable GmbH", "webflow-unavailable"),
            fixture.addProject("Busy Agency", "webflow-busy"),
            fixture.addProject("A project with a title far too long to fit on its card", "webflow-long",
                               "An issue without a suggested recovery wraps onto as many lines as it needs."),
        };
        fixture.setConnection("webflow-checking", "checking");
        fixture.setConnection("webflow-live", "connected");
        fixture.setConnection("webflow-degraded", "degraded");
        fixture.setConnection("webflow-needs-auth", "needsAuth");
        fixture.setConnection("webflow-unavailable", "failed");
        fixture.setConnection("webflow-busy", "connected");
        fixture.setConnection("webflow-long", "timedOut");
        fixture.setProperty("busy", QStringList{"webflow-busy"});

        IconLoader icons(resourceBundle().directory());
        QQmlEngine engine;
        new KitServices(engine, icons);
        QQmlComponent type(&engine, QUrl::fromLocalFile(QStringLiteral(PANEL_QML_DIR "/PanelGallery.qml")));
        QVERIFY2(type.isReady(), qPrintable(type.errorString()));
        auto *environment = engine.singletonInstance<KitEnvironment *>(qmlTypeId("Quorvane.Kit", 1, 0, "KitEnvironment"));
        QVERIFY(environment);
        environment->setScheme(scheme);
        std::unique_ptr<QObject> object(type.createWithInitialProperties(
            {{"fixture", QVariant::fromValue<QObject *>(&fixture)}, {"projects", projects}}));
        auto *gallery = qobject_cast<QQuickItem *>(object.get());
        QVERIFY2(gallery, qPrintable(type.errorString()));

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
                                 .filePath(QStringLiteral("../panel-cards-%1.png")
                                               .arg(scheme == KitPalette::Scheme::Dark ? "dark" : "light"));
        QVERIFY(image.save(file));
        gallery->setParentItem(nullptr);
        QVERIFY2(messages.isEmpty(), qPrintable(messages.join(u'\n')));
    }
};

QTEST_MAIN(tst_PanelGallery)
#include "tst_PanelGallery.moc"
