// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "app/PanelState.h"
#include "app/TabFixture.h"
#include "kit/KitEnvironment.h"
#include "support/ScreenshotWindow.h"

#include <QDir>
#include <cstdio>
#include <cstdlib>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickWindow>
#include <QtQml/QQmlExtensionPlugin>

using namespace std::chrono_literals;

Q_IMPORT_QML_PLUGIN(QuorvanePlugin)
Q_IMPORT_QML_PLUGIN(Quorvane_KitPlugin)
Q_IMPORT_QML_PLUGIN(Quorvane_OnboardingPlugin)

namespace {

QStringList messages;

void collect(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type != QtDebugMsg && type != QtInfoMsg)
        messages.append(message);
}

// QTest types into widgets only; a window gets its keys one by one.
void typeInto(QWindow &window, const QString &text)
{
    for (const QChar c : text)
        QTest::keyClick(&window, c.toLatin1());
}

// The states the gallery draws.
enum class Scene {
    firstRun,
    oneNotice,
    twoNotices,
    addFieldOpen,
    searching,
    loading,
    loadError,
    claudeCLI,
    webflowReset,
    whatsNew,
    whatsNewMajor,
};

const QStringList releaseLines{QStringLiteral("Schedule a site publish from a project card."),
                               QStringLiteral("The panel remembers the tab you left it on.")};

/// The item under @p root (loaded content included) that has the property @p name.
QQuickItem *withProperty(QQuickItem *root, const char *name)
{
    for (QQuickItem *item : root->childItems()) {
        if (item->metaObject()->indexOfProperty(name) >= 0)
            return item;
        if (QQuickItem *found = withProperty(item, name))
            return found;
    }
    return nullptr;
}

/// The Connections tab of a real model in a window of the panel's size.
struct TabWindow
{
    explicit TabWindow(ModelHarness &harness)
        : panel(*harness.model, harness.clock, harness.time.delay())
    {
        harness.model->attach(engine);
        QQmlComponent type(&engine, QUrl(QStringLiteral("qrc:/Quorvane/ConnectionsTab.qml")));
        if (!type.isReady()) {
            std::fprintf(stderr, "%s\n", qPrintable(type.errorString()));
            std::abort();
        }
        object.reset(type.createWithInitialProperties({{"model", QVariant::fromValue<QObject *>(harness.model.get())},
                                                       {"panel", QVariant::fromValue<QObject *>(&panel)}}));
        tab = qobject_cast<QQuickItem *>(object.get());
        if (!tab)
            qFatal("%s", qPrintable(type.errorString()));
        window.resize(400, 540);
        tab->setSize(QSizeF(400, 540));
        tab->setParentItem(window.contentItem());
    }
    ~TabWindow() { tab->setParentItem(nullptr); }

    /// Shows the window with the keyboard's focus, as an opened panel has it.
    [[nodiscard]] bool showActive()
    {
        window.show();
        window.requestActivate();
        return QTest::qWaitForWindowActive(&window);
    }
    [[nodiscard]] KitEnvironment *environment()
    {
        return engine.singletonInstance<KitEnvironment *>(qmlTypeId("Quorvane.Kit", 1, 0, "KitEnvironment"));
    }
    [[nodiscard]] QQuickItem *find(const char *name) const { return tab->findChild<QQuickItem *>(QLatin1String(name)); }
    /// Whether the item and every item above it is visible.
    [[nodiscard]] bool shows(const char *name) const
    {
        const QQuickItem *item = find(name);
        return item && item->isVisible() && item->opacity() > 0;
    }
    void click(const char *name)
    {
        QQuickItem *item = find(name);
        QVERIFY2(item, name);
        const QPointF centre = item->mapToScene(QPointF(item->width() / 2, item->height() / 2));
        QTest::mouseClick(&window, Qt::LeftButton, {}, centre.toPoint());
    }

    PanelState panel;
    QQmlEngine engine;
    QQuickWindow window;
    std::unique_ptr<QObject> object;
    QQuickItem *tab = nullptr;
};

} // namespace

Q_DECLARE_METATYPE(Scene)

// The Connections tab on a real model: the add field answers the keyboard (typing shows the
// hint, Return adds once, Escape clears and closes unless an add runs), and each state renders
// in both schemes to PNG files in the build folder, for a person to look at.
class tst_ConnectionsTabView : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        messages.clear();
        qInstallMessageHandler(collect);
    }

    void cleanup() { qInstallMessageHandler(nullptr); }

    void theAddFieldAnswersTheKeyboard()
    {
        ModelHarness harness;
        harness.claude.answer(QStringLiteral("mcp add"), {{}, {}, 0, false, std::nullopt, 400ms});
        AppModel &model = *harness.model;
        QVERIFY(harness.refreshed());
        TabWindow view(harness);
        QVERIFY(view.showActive());
        QTRY_VERIFY(view.shows("firstRunCard"));
        QTRY_VERIFY(view.shows("connectionsEmptyState"));

        // The first-run card opens the field with the caret in it.
        view.click("firstRunCard");
        QVERIFY(model.adding().showingAdd());
        QTRY_VERIFY(view.panel.addFieldFocused());
        QTRY_VERIFY(!view.shows("connectionsEmptyState"));
        QTRY_VERIFY(view.shows("searchRow"));

        typeInto(view.window, QStringLiteral("Acme Co"));
        QCOMPARE(model.adding().addName(), QStringLiteral("Acme Co"));
        QTRY_COMPARE(view.find("message")->property("text").toString(),
                     QStringLiteral("Reserves webflow-acme-co. Enter to add."));

        // Return adds once; a second Return and Escape while it runs change nothing.
        QTest::keyClick(&view.window, Qt::Key_Return);
        QVERIFY(model.adding().isAdding());
        QTest::keyClick(&view.window, Qt::Key_Return);
        QTest::keyClick(&view.window, Qt::Key_Escape);
        QVERIFY(model.adding().showingAdd());
        QTRY_VERIFY(!model.adding().isAdding());
        QTRY_VERIFY(!model.isRefreshing() && model.statusChecksInFlight().isEmpty());
        QCOMPARE(harness.callsOf(QStringLiteral("mcp"), QStringLiteral("add")).size(), 1);
        QCOMPARE(model.projectStore().projects().size(), 1);
        QVERIFY(model.adding().showingAdd());
        QCOMPARE(model.adding().addName(), QString());

        // The typed name now collides with the project just added.
        typeInto(view.window, QStringLiteral("acme co"));
        QTRY_COMPARE(view.find("collision")->property("text").toString(), QStringLiteral("Matches Acme Co exactly."));

        // Escape empties and closes the field and takes its focus.
        QTest::keyClick(&view.window, Qt::Key_Escape);
        QVERIFY(!model.adding().showingAdd());
        QCOMPARE(model.adding().addName(), QString());
        QTRY_VERIFY(!view.panel.addFieldFocused());
        QVERIFY2(messages.isEmpty(), qPrintable(messages.join(u'\n')));
    }

    // Cancel keeps what was typed; Add New brings it back with the field focused.
    void cancelKeepsTheTypedName()
    {
        ModelHarness harness;
        AppModel &model = *harness.model;
        QVERIFY(harness.refreshed());
        TabWindow view(harness);
        QVERIFY(view.showActive());
        // What the panel's Ctrl+N calls.
        view.panel.openNew();
        QTRY_VERIFY(model.adding().showingAdd());
        QTRY_VERIFY(view.panel.addFieldFocused());
        typeInto(view.window, QStringLiteral("Glo"));
        QTRY_VERIFY(view.shows("addNewButton"));
        view.click("addNewButton");
        QVERIFY(!model.adding().showingAdd());
        QCOMPARE(model.adding().addName(), QStringLiteral("Glo"));
        view.click("addNewButton");
        QVERIFY(model.adding().showingAdd());
        QTRY_VERIFY(view.panel.addFieldFocused());
        typeInto(view.window, QStringLiteral("bex"));
        QCOMPARE(model.adding().addName(), QStringLiteral("Globex"));
        QVERIFY2(messages.isEmpty(), qPrintable(messages.join(u'\n')));
    }

    // The empty state lies over the whole tab, the one banner above it included: a click on the
    // banner's button still reaches the button.
    void aBannerTakesItsClickOverTheEmptyState()
    {
        TabFixture fixture(TabFixture::Backend::cloud);
        QVERIFY(fixture.signIn({}, {TabFixture::recoveryAttempt(QStringLiteral("site-1"), QStringLiteral("Acme"))}));
        QVERIFY(fixture.harness.refreshed());
        TabWindow view(fixture.harness);
        view.environment()->setReduceMotion(true);
        QVERIFY(view.showActive());
        QTRY_VERIFY(view.shows("webflowResetNotice"));
        QTRY_VERIFY(view.shows("connectionsEmptyState"));
        QQuickItem *review = view.find("reviewButton");
        QVERIFY(review);
        const QPointF centre = review->mapToScene(QPointF(review->width() / 2, review->height() / 2));
        QQuickItem *empty = view.find("connectionsEmptyState");
        QVERIFY(empty->contains(empty->mapFromScene(centre)));

        view.click("reviewButton");
        QVERIFY(fixture.model.confirms().current());
        QCOMPARE(fixture.model.confirms().current()->title, QStringLiteral("Reset the Webflow connection"));
        QVERIFY2(messages.isEmpty(), qPrintable(messages.join(u'\n')));
    }

    void gallery_data()
    {
        QTest::addColumn<Scene>("scene");
        QTest::addColumn<KitPalette::Scheme>("scheme");
        QTest::addColumn<QString>("name");
        const QList<std::pair<const char *, Scene>> scenes{{"first-run", Scene::firstRun},
                                                           {"one-notice", Scene::oneNotice},
                                                           {"two-notices", Scene::twoNotices},
                                                           {"add-field", Scene::addFieldOpen},
                                                           {"searching", Scene::searching},
                                                           {"loading", Scene::loading},
                                                           {"load-error", Scene::loadError},
                                                           {"claude-cli", Scene::claudeCLI},
                                                           {"webflow-reset", Scene::webflowReset},
                                                           {"whats-new", Scene::whatsNew},
                                                           {"whats-new-major", Scene::whatsNewMajor}};
        for (const auto &[name, scene] : scenes) {
            for (const KitPalette::Scheme scheme : {KitPalette::Scheme::Light, KitPalette::Scheme::Dark})
                QTest::addRow("%s-%s", name, qPrintable(ScreenshotWindow::schemeName(scheme)))
                    << scene << scheme << QString::fromLatin1(name);
        }
    }

    void gallery()
    {
        QFETCH(Scene, scene);
        QFETCH(KitPalette::Scheme, scheme);
        QFETCH(QString, name);
        const bool whatsNew = scene == Scene::whatsNew || scene == Scene::whatsNewMajor;
        TabFixture fixture(scene == Scene::webflowReset ? TabFixture::Backend::cloud : TabFixture::Backend::none,
                           [](AppModel::Environment &environment) {
                               environment.releaseNotes = [](const QString &) { return std::optional(releaseLines); };
                           });
        ModelHarness &harness = fixture.harness;
        AppModel &model = fixture.model;
        if (scene == Scene::loadError)
            harness.writeRegistry("{ \"mcpServers\": ");
        if (scene == Scene::claudeCLI)
            harness.claude.answer(QStringLiteral("--version"), {"2.1.100 (Claude Code)\n", {}, 0, false, std::nullopt});
        if (scene == Scene::webflowReset)
            QVERIFY(fixture.signIn({}, {TabFixture::recoveryAttempt(QStringLiteral("site-1"), QStringLiteral("Acme"))}));
        if (whatsNew) {
            // A launch of a newer version than the last one seen, past the introduction.
            model.defaults().setBool(QStringLiteral("hasSeenIntro"), true);
            model.defaults().setString(QStringLiteral("lastSeenVersion"), QStringLiteral("1.0.0"));
            QCoro::waitFor(model.bootstrap());
            QVERIFY(model.whatsNew());
        }
        // Launches read the environment before the first refresh ends the loading.
        if (scene == Scene::claudeCLI || scene == Scene::loading)
            QCoro::waitFor(model.refreshEnvironment(true));
        if (scene != Scene::loading)
            QVERIFY(harness.refreshed());
        const auto breakSaving = [&harness] {
            harness.failingFiles.insert(QStringLiteral("sites.json"));
            (void)harness.model->siteDirectory().markPublishingConnected(QStringLiteral("site-1"), QStringLiteral("Site"));
        };
        const Connection acme{QStringLiteral("webflow-acme"), ModelHarness::endpoint, ConnectionStatus::connected,
                              std::nullopt};

        PanelState panel(model, harness.clock, harness.time.delay());
        QQmlEngine engine;
        model.attach(engine);
        ScreenshotWindow shot(engine, scheme);
        shot.setReduceMotion(true);
        const auto find = [&shot](const char *name) { return shot.item()->findChild<QQuickItem *>(QLatin1String(name)); };
        const auto shows = [&find](const char *name) {
            const QQuickItem *item = find(name);
            return item && item->isVisible() && item->opacity() > 0;
        };
        switch (scene) {
        case Scene::firstRun:
            break;
        case Scene::oneNotice:
            breakSaving();
            break;
        case Scene::twoNotices:
            breakSaving();
            model.setClaudeAuth(ClaudeCLI::AuthStatus::signedOut());
            model.setConnections({acme});
            break;
        case Scene::addFieldOpen:
            model.setConnections({acme});
            model.adding().setShowingAdd(true);
            model.adding().setAddName(QStringLiteral("Acme Co"));
            break;
        case Scene::searching:
            (void)model.projectStore().createProject(QStringLiteral("Acme"));
            panel.setSearchText(QStringLiteral("acme"));
            break;
        case Scene::loading:
        case Scene::loadError:
        case Scene::claudeCLI:
        case Scene::webflowReset:
        case Scene::whatsNew:
            break;
        case Scene::whatsNewMajor:
            break;
        }
        QQuickItem *tab = shot.load(QUrl(QStringLiteral("qrc:/Quorvane/ConnectionsTab.qml")),
                                    {{QStringLiteral("model"), QVariant::fromValue<QObject *>(&model)},
                                     {QStringLiteral("panel"), QVariant::fromValue<QObject *>(&panel)}});
        QVERIFY2(tab, qPrintable(shot.errors()));
        tab->setSize(QSizeF(400, 540));
        if (scene == Scene::whatsNewMajor) {
            // The card's look follows the running version; a feature release is drawn as such.
            QQuickItem *card = withProperty(find("whatsNewRow"), "major");
            QVERIFY(card);
            card->setProperty("version", QStringLiteral("0.3.0"));
            QVERIFY(card->property("major").toBool());
        }
        QVERIFY2(shot.show(QSize(400, 540)), qPrintable(shot.errors()));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::MetaCall);

        const QList<Scene> oneBanner{Scene::oneNotice, Scene::claudeCLI, Scene::webflowReset, Scene::whatsNew,
                                     Scene::whatsNewMajor};
        QCOMPARE(shows("connectionsEmptyState"), scene == Scene::firstRun || oneBanner.contains(scene));
        QCOMPARE(shows("firstRunCard"), scene != Scene::addFieldOpen && scene != Scene::searching
                                                 && scene != Scene::loading && scene != Scene::loadError);
        QCOMPARE(shows("persistenceNotice"), scene == Scene::oneNotice || scene == Scene::twoNotices);
        QCOMPARE(shows("claudeSignedOutNotice"), scene == Scene::twoNotices);
        QCOMPARE(shows("claudeCLINotice"), scene == Scene::claudeCLI);
        QCOMPARE(shows("webflowResetNotice"), scene == Scene::webflowReset);
        QCOMPARE(find("whatsNewRow")->property("isPresented").toBool(), whatsNew);
        QCOMPARE(shows("readingConnections"), scene == Scene::loading);
        QCOMPARE(shows("loadErrorText"), scene == Scene::loadError);
        if (scene == Scene::claudeCLI)
            QCOMPARE(find("claudeCLINotice")->property("heading").toString(),
                     QStringLiteral("CLI 2.1.100 can't authorize from here"));
        if (scene == Scene::addFieldOpen) {
            QTRY_VERIFY(shows("message"));
            QCOMPARE(find("collision")->property("text").toString(),
                     QStringLiteral("Close to webflow-acme. Same client?"));
        }
        if (scene == Scene::searching)
            QVERIFY(shows("clearSearch"));

        QVERIFY2(shot.save(QStringLiteral("connections-tab-") + name), qPrintable(shot.errors()));
        shot.unload();
        QVERIFY2(messages.isEmpty(), qPrintable(messages.join(u'\n')));
    }
};

QTEST_MAIN(tst_ConnectionsTabView)
#include "tst_ConnectionsTabView.moc"
