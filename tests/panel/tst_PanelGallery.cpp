// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "PanelFixture.h"
#include "support/ScreenshotWindow.h"
#include "support/WarningLog.h"

#include <QTest>
#include <QtQml/QQmlExtensionPlugin>

Q_IMPORT_QML_PLUGIN(Quorvane_KitPlugin)
Q_IMPORT_QML_PLUGIN(Quorvane_PanelPlugin)

// The cards load without a QML warning and render in both schemes to PNG files in the build
// folder, for a person to look at: a project card in each MCP state and the six kinds of
// unmanaged entry.
class tst_PanelGallery : public QObject
{
    Q_OBJECT

    WarningLog m_warnings;

private slots:
    void init() { m_warnings.start(); }

    void cleanup() { m_warnings.stop(); }

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

        KitEngine kit;
        ScreenshotWindow shot(kit.engine, scheme);
        QVERIFY2(shot.load(QUrl::fromLocalFile(QStringLiteral(PANEL_QML_DIR "/PanelGallery.qml")),
                           {{"fixture", QVariant::fromValue<QObject *>(&fixture)}, {"projects", projects}}),
                 qPrintable(shot.errors()));
        QVERIFY2(shot.show(), qPrintable(shot.errors()));
        QVERIFY2(shot.save(QStringLiteral("panel-cards")), qPrintable(shot.errors()));
        QVERIFY2(m_warnings.isEmpty(), qPrintable(m_warnings.text()));
    }
};

QTEST_MAIN(tst_PanelGallery)
#include "tst_PanelGallery.moc"
