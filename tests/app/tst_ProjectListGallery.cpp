// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "app/ModelHarness.h"
#include "app/PanelState.h"
#include "app/ProjectListState.h"
#include "kit/KitEnvironment.h"
#include "publishing/PublishingTesting.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickWindow>
#include <QtQml/QQmlExtensionPlugin>

Q_IMPORT_QML_PLUGIN(QuorvanePlugin)
Q_IMPORT_QML_PLUGIN(Quorvane_KitPlugin)
Q_IMPORT_QML_PLUGIN(Quorvane_PanelPlugin)

namespace {

QStringList messages;

void collect(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type != QtDebugMsg && type != QtInfoMsg)
        messages.append(message);
}

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

private slots:
    void init()
    {
        messages.clear();
        qInstallMessageHandler(collect);
    }

    void cleanup() { qInstallMessageHandler(nullptr); }

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
        QQmlComponent type(&engine, QUrl::fromLocalFile(QStringLiteral(PROJECT_LIST_QML_DIR "/ProjectListGallery.qml")));
        QVERIFY2(type.isReady(), qPrintable(type.errorString() + messages.join(u'\n')));
        auto *environment = engine.singletonInstance<KitEnvironment *>(qmlTypeId("Quorvane.Kit", 1, 0, "KitEnvironment"));
        QVERIFY(environment);
        environment->setScheme(scheme);
        const auto column = [](const QString &title, AppModel &model, PanelState &panel) {
            return QVariantMap{{QStringLiteral("title"), title},
                               {QStringLiteral("model"), QVariant::fromValue<QObject *>(&model)},
                               {QStringLiteral("panel"), QVariant::fromValue<QObject *>(&panel)}};
        };
        const QVariantList columns{column(QStringLiteral("Cards, orphan access, entries"), model, listed),
                                   column(QStringLiteral("No match"), model, searching),
                                   column(QStringLiteral("No project"), *empty.model, first)};
        std::unique_ptr<QObject> object(type.createWithInitialProperties({{"columns", columns}}));
        auto *gallery = qobject_cast<QQuickItem *>(object.get());
        QVERIFY2(gallery, qPrintable(type.errorString()));

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
                                 .filePath(QStringLiteral("../project-list-%1.png")
                                               .arg(scheme == KitPalette::Scheme::Dark ? "dark" : "light"));
        QVERIFY(image.save(file));
        gallery->setParentItem(nullptr);
        object.reset();
        model.publishAccess().setClient(nullptr);
        QVERIFY2(messages.isEmpty(), qPrintable(messages.join(u'\n')));
    }
};

QTEST_MAIN(tst_ProjectListGallery)
#include "tst_ProjectListGallery.moc"
