// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "app/ModelHarness.h"
#include "app/PanelState.h"
#include "app/ProjectListState.h"
#include "publishing/PublishingTesting.h"
#include "support/ScreenshotWindow.h"
#include "support/WarningLog.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QQmlEngine>
#include <QQuickItem>
#include <QtQml/QQmlExtensionPlugin>

Q_IMPORT_QML_PLUGIN(QuorvanePlugin)
Q_IMPORT_QML_PLUGIN(Quorvane_KitPlugin)
Q_IMPORT_QML_PLUGIN(Quorvane_PanelPlugin)

namespace {

// The item of that name in the visual tree below `root`, which is where a Repeater's items live.
QQuickItem *itemNamed(QQuickItem *root, const QString &name)
{
    if (root->objectName() == name)
        return root;
    for (QQuickItem *child : root->childItems()) {
        if (QQuickItem *found = itemNamed(child, name))
            return found;
    }
    return nullptr;
}

QJsonObject grant(const QString &site, const QString &name, const QString &status = QStringLiteral("active"))
{
    return {{QStringLiteral("site_id"), site},
            {QStringLiteral("site_name"), name},
            {QStringLiteral("created_at"), QStringLiteral("2026-03-08T09:30:00Z")},
            {QStringLiteral("connection_status"), status}};
}

} // namespace

// The list in each of its states, loaded without a QML warning and rendered in both schemes to
// PNG files in the build folder: cards with orphan publishing rows and unmanaged entries, the
// no-match line and the how-to card.
class tst_ProjectListGallery : public QObject
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

        // A model with projects, unmanaged entries and sites with access but no project.
        ModelHarness full;
        const QString folder = full.home.filePath(QStringLiteral("clients/acme"));
        QVERIFY(QDir().mkpath(folder));
        const QJsonObject stdio{{QStringLiteral("type"), QStringLiteral("stdio")},
                                {QStringLiteral("command"), QStringLiteral("fs")}};
        full.writeRegistry(claudeRegistry(
            {{QStringLiteral("webflow-acme"), httpEntry()}, {QStringLiteral("webflow-stdio"), stdio}},
            {{QFileInfo(folder).canonicalFilePath(),
              QJsonObject{{QStringLiteral("webflow-client"), httpEntry()}}}}));
        AppModel &model = *full.model;
        QVERIFY(full.refreshed());
        QTRY_VERIFY(!model.isRefreshing());
        QTRY_VERIFY(model.statusChecksInFlight().isEmpty());
        QVERIFY(!model.projectStore().setTitle(full.project(QStringLiteral("webflow-acme"))->id, QStringLiteral("Acme")));
        QVERIFY(std::holds_alternative<Project>(model.projectStore().createProject(QStringLiteral("Beta Studio"))));
        FakeBackend backend;
        MemorySessionStorage storage;
        const QJsonArray grants{grant(QStringLiteral("site-a"), QStringLiteral("Alpha Marketing")),
                                grant(QStringLiteral("site-b"), QStringLiteral("beta\u202Eevil"),
                                      QStringLiteral("revocation_pending"))};
        backend.setUserTable(QStringLiteral("site_publish_grants"), [&grants](const QUuid &) { return grants; });
        backend.setUserTable(QStringLiteral("oauth_states"), [](const QUuid &) { return QJsonArray(); });
        const std::unique_ptr<BackendClient> client = signedInClient(backend, storage, full.clock, userA);
        model.publishAccess().setClient(client.get());
        model.publishAccess().bindAccount(userA, 1);
        QVERIFY(QCoro::waitFor(model.publishAccess().refresh()));

        // No project yet.
        ModelHarness empty;
        QVERIFY(empty.refreshed());

        PanelState listed(model, full.clock, full.time.delay());
        PanelState searching(model, full.clock, full.time.delay());
        searching.setSearchText(QStringLiteral("  zzz "));
        PanelState first(*empty.model, empty.clock, empty.time.delay());

        QQmlEngine engine;
        model.attach(engine);
        const auto column = [](const QString &title, AppModel &model, PanelState &panel) {
            return QVariantMap{{QStringLiteral("title"), title},
                               {QStringLiteral("model"), QVariant::fromValue<QObject *>(&model)},
                               {QStringLiteral("panel"), QVariant::fromValue<QObject *>(&panel)}};
        };
        const QVariantList columns{column(QStringLiteral("Cards, orphan access, entries"), model, listed),
                                   column(QStringLiteral("No match"), model, searching),
                                   column(QStringLiteral("No project"), *empty.model, first)};
        ScreenshotWindow shot(engine, scheme);
        QQuickItem *gallery = shot.load(QUrl::fromLocalFile(QStringLiteral(PROJECT_LIST_QML_DIR "/ProjectListGallery.qml")),
                                        {{"columns", columns}});
        QVERIFY2(gallery, qPrintable(shot.errors() + m_warnings.text()));

        // What each list shows, by its state.
        const auto state = [gallery](const QString &title) {
            QQuickItem *list = itemNamed(gallery, QStringLiteral("list-") + title);
            return list ? list->property("rows").value<ProjectListState *>() : nullptr;
        };
        ProjectListState *cards = state(QStringLiteral("Cards, orphan access, entries"));
        QVERIFY(cards);
        QCOMPARE(cards->projects().rowCount(), 2);
        QCOMPARE(cards->orphans().rowCount(), 2);
        QCOMPARE(cards->unrecognized().rowCount(), 2);
        QVERIFY(cards->showsOrphans());
        QVERIFY(state(QStringLiteral("No match"))->showsNoMatches());
        QVERIFY(state(QStringLiteral("No project"))->showsHowTo());

        QVERIFY2(shot.show(), qPrintable(shot.errors()));
        QVERIFY2(shot.save(QStringLiteral("project-list")), qPrintable(shot.errors()));
        // The lists let go of the model's access before the test takes its client away.
        shot.unload();
        model.publishAccess().setClient(nullptr);
        QVERIFY2(m_warnings.isEmpty(), qPrintable(m_warnings.text()));
    }
};

QTEST_MAIN(tst_ProjectListGallery)
#include "tst_ProjectListGallery.moc"
