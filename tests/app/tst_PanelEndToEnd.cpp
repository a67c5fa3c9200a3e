// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "ModelHarness.h"
#include "account/BackendConfiguration.h"
#include "app/PanelState.h"
#include "foundation/UuidText.h"
#include "kit/KitEnvironment.h"
#include "publishing/PublishingTesting.h"
#include "support/FakeBackend.h"
#include "support/MemorySessionStorage.h"

#include <QDir>
#include <QJsonArray>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickWindow>
#include <QTest>
#include <QtQml/QQmlExtensionPlugin>

#include <functional>
#include <memory>

Q_IMPORT_QML_PLUGIN(QuorvanePlugin)
Q_IMPORT_QML_PLUGIN(Quorvane_KitPlugin)
Q_IMPORT_QML_PLUGIN(Quorvane_PanelPlugin)
Q_IMPORT_QML_PLUGIN(Quorvane_SchedulingPlugin)
Q_IMPORT_QML_PLUGIN(Quorvane_OnboardingPlugin)

using Scheme = KitPalette::Scheme;
using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace {

const QString siteID = u"site-acme"_s;
const QString siteName = u"Acme Co Site"_s;
const QString server = u"webflow-acme-co"_s;
// Webflow's consent page, coming back to the backend's https address as consent must.
const QByteArray consentLink =
    "https://mcp.webflow.com/oauth/authorize?response_type=code&client_id=wf_client_8c1e5d4a"
    "&redirect_uri=https%3A%2F%2Fabcdefghijklmnop.supabase.co%2Ffunctions%2Fv1%2Fwebflow-mcp-oauth"
    "&state=0f8fad5b-d9cb-469f-a165-70867728950e&code_challenge=E9Melhoa2OwvFrEMTJguCHaoeK1t8URWbuGJSstw-cM"
    "&code_challenge_method=S256&resource=https%3A%2F%2Fmcp.webflow.com%2Fmcp";

// Claude's stream-JSON answer to a scope check whose sites tool reaches the one site.
QByteArray oneSiteAnswer()
{
    const QJsonArray sites{QJsonObject{{u"id"_s, siteID}, {u"displayName"_s, siteName}}};
    const QJsonObject use{{u"type"_s, u"tool_use"_s},
                          {u"id"_s, u"use-1"_s},
                          {u"name"_s, u"mcp__"_s + server + u"__data_sites_tool"_s},
                          {u"input"_s, QJsonObject()}};
    const QJsonObject result{{u"type"_s, u"tool_result"_s},
                             {u"tool_use_id"_s, u"use-1"_s},
                             {u"content"_s, QString::fromUtf8(QJsonDocument(sites).toJson())}};
    return FakeClaude::streamJson(
        {{{u"type"_s, u"assistant"_s}, {u"message"_s, QJsonObject{{u"content"_s, QJsonArray{use}}}}},
         {{u"type"_s, u"user"_s}, {u"message"_s, QJsonObject{{u"content"_s, QJsonArray{result}}}}},
         {{u"type"_s, u"result"_s}, {u"result"_s, u"done"_s}}});
}

} // namespace

// The whole panel in one process over a real application model, a temporary home and the scripted
// claude: what a user does first, seen the way the user sees it, with a picture of every step.
class tst_PanelEndToEnd : public QObject
{
    Q_OBJECT

private:
    // What the journey's model talks to beyond claude; they outlive the harness's model.
    FakeBackend m_backend;
    MemorySessionStorage m_sessions;
    RecordingBrowser m_browser;
    /// The waits of the publishing consent's inspections.
    ManualDelay m_consentTime;
    /// The publishing grants the backend holds.
    QJsonArray m_grants;
    /// The next answers to the inspection of a publishing consent.
    QList<QByteArray> m_verdicts;
    /// The journey's steps share one panel: a step that passes leaves it to the next.
    bool m_keepForNextStep = false;
    KitEnvironment *m_environment = nullptr;

    std::unique_ptr<ModelHarness> m_harness;
    std::unique_ptr<PanelState> m_state;
    std::unique_ptr<QQmlEngine> m_engine;
    std::unique_ptr<QQuickWindow> m_window;

    [[nodiscard]] bool open(Scheme scheme)
    {
        m_state = std::make_unique<PanelState>(*m_harness->model, m_harness->clock, m_harness->time.delay());
        m_engine = std::make_unique<QQmlEngine>();
        m_harness->model->attach(*m_engine);
        QQmlComponent root(m_engine.get(), QUrl(QStringLiteral("qrc:/Quorvane/PanelRoot.qml")));
        auto *environment =
            m_engine->singletonInstance<KitEnvironment *>(qmlTypeId("Quorvane.Kit", 1, 0, "KitEnvironment"));
        if (!root.isReady() || !environment) {
            qWarning("%s", qPrintable(root.errorString()));
            return false;
        }
        environment->setScheme(scheme);
        m_environment = environment;
        m_window.reset(qobject_cast<QQuickWindow *>(root.createWithInitialProperties(
            {{QStringLiteral("model"), QVariant::fromValue(m_harness->model.get())},
             {QStringLiteral("panel"), QVariant::fromValue(m_state.get())}})));
        if (!m_window)
            return false;
        m_window->show();
        m_window->requestActivate();
        return QTest::qWaitForWindowActive(m_window.get());
    }

    [[nodiscard]] QQuickItem *find(const QString &name) const
    {
        return findWhere([&](QQuickItem *item) { return item->objectName() == name; });
    }

    /// The first item the user can see (itself and every item above it visible and not faded
    /// out) that `matches`, inside `within` (default: the whole window, popups included).
    [[nodiscard]] QQuickItem *findWhere(const std::function<bool(QQuickItem *)> &matches,
                                        QQuickItem *within = nullptr) const
    {
        QList<QQuickItem *> pending{within ? within : m_window->contentItem()};
        while (!pending.isEmpty()) {
            QQuickItem *item = pending.takeFirst();
            if (!item->isVisible() || item->opacity() <= 0)
                continue;
            if (matches(item))
                return item;
            pending.append(item->childItems());
        }
        return nullptr;
    }

    /// Whether the item and every item above it are fully opaque: no fade is under way.
    [[nodiscard]] static bool settled(const QQuickItem *item)
    {
        for (; item; item = item->parentItem()) {
            if (item->opacity() < 1)
                return false;
        }
        return true;
    }

    /// The shown item named `name` inside the shown item named `container`.
    [[nodiscard]] QQuickItem *findIn(const QString &container, const QString &name) const
    {
        QQuickItem *outer = find(container);
        return outer ? findWhere([&](QQuickItem *item) { return item->objectName() == name; }, outer) : nullptr;
    }

    /// The text of the shown item named `name` inside the shown item named `container`; empty
    /// while there is none.
    [[nodiscard]] QString textIn(const QString &container, const QString &name) const
    {
        QQuickItem *item = findIn(container, name);
        return item ? item->property("text").toString() : QString();
    }

    /// The text of the shown item named `name`; empty while there is none.
    [[nodiscard]] QString textOf(const QString &name) const
    {
        QQuickItem *item = find(name);
        return item ? item->property("text").toString() : QString();
    }

    /// A shown text that reads `text`.
    [[nodiscard]] QQuickItem *findText(const QString &text, QQuickItem *within = nullptr) const
    {
        return findWhere([&](QQuickItem *item) { return item->property("text").toString() == text; }, within);
    }

    void click(const QString &name)
    {
        clickItem(find(name), name);
    }

    void clickItem(QQuickItem *item, const QString &what)
    {
        QVERIFY2(item, qPrintable(what));
        const QPointF centre = item->mapToScene(QPointF(item->width() / 2, item->height() / 2));
        QTest::mouseClick(m_window.get(), Qt::LeftButton, {}, centre.toPoint());
    }

    void type(const QString &text)
    {
        for (const QChar c : text)
            QTest::keyClick(m_window.get(), c.toLatin1());
    }

    /// The light picture, and the dark one of the same moment.
    void shootBoth(const QString &step)
    {
        shoot(step, Scheme::Light);
        m_environment->setScheme(Scheme::Dark);
        shoot(step, Scheme::Dark);
        m_environment->setScheme(Scheme::Light);
    }

    /// The text the shown confirmation asks with.
    [[nodiscard]] QString confirmTitle() const
    {
        QQuickItem *title = findIn(u"confirmLayer"_s, u"title"_s);
        return title ? title->property("text").toString() : QString();
    }

    /// The journey's model: signed out of a backend that serves publishing access and scheduled
    /// publishing, claude answering as a server waiting for its first authorization.
    void startJourney()
    {
        m_browser.opened.clear();
        m_grants = {};
        m_verdicts.clear();
        m_backend.serveScheduledPublishing();
        m_backend.setUserTable(u"profiles"_s, [this](const QUuid &user) {
            return QJsonArray{QJsonObject{{u"id"_s, UuidText::format(user)}, {u"email"_s, m_backend.userEmail},
                                          {u"marketing_opt_in"_s, false}}};
        });
        m_backend.route("GET", u"/rest/v1/site_publish_grants"_s,
                        [this](const FakeBackend::Request &) { return FakeBackend::Reply::json(200, m_grants); });
        m_backend.route("GET", u"/rest/v1/oauth_states"_s,
                        [](const FakeBackend::Request &) { return FakeBackend::Reply::json(200, QJsonArray()); });
        m_backend.setFunction(u"webflow-mcp-oauth-start"_s, [](const FakeBackend::Request &request) {
            return FakeBackend::Reply::json(
                200, QJsonObject{{u"authorizeURL"_s, QString::fromLatin1(consentLink)},
                                 {u"state"_s, u"0f8fad5b-d9cb-469f-a165-70867728950e"_s},
                                 {u"operationId"_s, request.json().value("operationId"_L1)},
                                 {u"cancelCapability"_s, u"Zm9vYmFyLWNhbmNlbC1jYXBhYmlsaXR5XzAxMjM0NTY"_s}});
        });
        m_backend.setRpc(u"inspect_publish_oauth_attempt"_s, [this](const FakeBackend::Request &) {
            return FakeBackend::Reply{200, m_verdicts.isEmpty() ? QByteArray("null") : m_verdicts.takeFirst()};
        });
        m_harness = std::make_unique<ModelHarness>(std::function<void(const TempHome &)>(),
                                                   [this](AppModel::Environment &environment) {
            environment.backend = BackendConfiguration{m_backend.url(), FakeBackend::publishableKey};
            environment.sessionStorage = &m_sessions;
            environment.publishAccess.delay = m_consentTime.delay();
            environment.publishAccess.browser = &m_browser;
            environment.consentReturnBackend = QUrl(u"https://abcdefghijklmnop.supabase.co"_s);
        });
    }

    void shoot(const QString &step, Scheme scheme)
    {
        const QString name = QStringLiteral("panel-e2e-%1-%2.png")
                                 .arg(step, scheme == Scheme::Dark ? QStringLiteral("dark") : QStringLiteral("light"));
        QVERIFY(m_window->grabWindow().save(QDir::current().filePath(name)));
    }

    /// The first run up to the new project's card, whose pill reads `pill`; a picture of each
    /// step in `scheme`.
    void addAcmeCo(Scheme scheme, const QString &pill = QStringLiteral("Connect to Claude"))
    {
        AppModel &model = *m_harness->model;
        QVERIFY(open(scheme));
        m_state->panelStart();
        QTRY_VERIFY(!model.isLoading());
        // The introduction greets a first run; the user closes it.
        QTRY_VERIFY(model.showingIntro());
        model.setShowingIntro(false);
        // Until it has faded out it still takes the clicks.
        QTRY_VERIFY(!find(QStringLiteral("introLayer")));
        QTRY_VERIFY(find(QStringLiteral("firstRunCard")));
        shoot(QStringLiteral("1-first-run"), scheme);

        click(QStringLiteral("firstRunCard"));
        QTRY_VERIFY(m_state->addFieldFocused());
        for (const QChar c : QStringLiteral("Acme Co"))
            QTest::keyClick(m_window.get(), c.toLatin1());
        QTRY_COMPARE(find(QStringLiteral("message"))->property("text").toString(),
                     QStringLiteral("Reserves webflow-acme-co. Enter to add."));
        shoot(QStringLiteral("2-add-field"), scheme);

        QTest::keyClick(m_window.get(), Qt::Key_Return);
        QTRY_COMPARE(model.projectStore().projects().size(), 1);
        QCOMPARE(model.projectStore().projects().constFirst().title, QStringLiteral("Acme Co"));
        // The new project's card, waiting for its connection to be made.
        QTRY_VERIFY(find(QStringLiteral("statusPill")));
        QTRY_COMPARE(find(QStringLiteral("statusPill"))->property("label").toString(), pill);
        shoot(QStringLiteral("3-card"), scheme);
    }

private slots:
    void cleanup()
    {
        if (m_keepForNextStep && !QTest::currentTestFailed())
            return;
        m_keepForNextStep = false;
        m_window.reset();
        m_engine.reset();
        m_state.reset();
        if (m_harness)
            QTRY_VERIFY(!m_harness->model->isRefreshing() && m_harness->model->statusChecksInFlight().isEmpty());
        m_harness.reset();
    }

    void addAProjectThroughTheAddField_data()
    {
        QTest::addColumn<Scheme>("scheme");
        QTest::newRow("light") << Scheme::Light;
        QTest::newRow("dark") << Scheme::Dark;
    }

    void addAProjectThroughTheAddField()
    {
        QFETCH(Scheme, scheme);
        m_harness = std::make_unique<ModelHarness>();
        addAcmeCo(scheme);
    }

    void connectTheNewProject_data()
    {
        QTest::addColumn<bool>("registeredOnAdd");
        QTest::addColumn<QString>("pill");
        QTest::addColumn<QString>("shots");
        // Claude refused the registration when the project was added: connecting registers it.
        QTest::newRow("refused on add") << false << u"Connect to Claude"_s << u"reconnect-"_s;
        // The usual start, last, so that the steps after it go on from its panel.
        QTest::newRow("registered on add") << true << u"MCP needs auth"_s << QString();
    }

    // The new project's pill: claude registers its server if adding could not, the login waits on
    // the browser until the user grants, and the card reads live once the scope check found the
    // one site the grant reaches.
    void connectTheNewProject()
    {
        QFETCH(bool, registeredOnAdd);
        QFETCH(QString, pill);
        QFETCH(QString, shots);
        startJourney();
        FakeClaude &claude = m_harness->claude;
        claude.answer(u"mcp get"_s, {"Status: △ Needs authentication\n", {}, 0, false, std::nullopt});
        if (registeredOnAdd)
            claude.answer(u"mcp add"_s, {"Added HTTP MCP server\n", {}, 0, false, std::nullopt});
        else
            claude.answer(u"mcp add"_s, {{}, "Could not write ~/.claude.json\n", 1, false, std::nullopt});
        addAcmeCo(Scheme::Light, pill);
        if (QTest::currentTestFailed())
            return;
        QCOMPARE(m_harness->callsOf(u"mcp"_s, u"add"_s), QList<QStringList>{ModelHarness::registration(server)});
        claude.answer(u"mcp add"_s, {"Added HTTP MCP server\n", {}, 0, false, std::nullopt});
        FakeClaude::Reply login{"Opening your browser to authorize webflow-acme-co…\n", {}, 0, false, std::nullopt};
        login.awaitsGrant = true;
        claude.answer(u"mcp login"_s, login);
        claude.answer(u"-p"_s, {oneSiteAnswer(), {}, 0, false, std::nullopt});

        click(u"statusPill"_s);
        if (registeredOnAdd) {
            // A listed server that needs its grant: the user confirms before the browser opens.
            QTRY_COMPARE(confirmTitle(), u"Re-authenticate Acme Co?"_s);
            shootBoth(shots + u"4-reauthenticate"_s);
            clickItem(findIn(u"confirmLayer"_s, u"confirmButton"_s), u"Re-authenticate"_s);
        }
        QTRY_COMPARE(m_harness->callsOf(u"mcp"_s, u"login"_s), (QList<QStringList>{{u"mcp"_s, u"login"_s, server}}));
        // Registered once, by adding or else by connecting.
        QCOMPARE(m_harness->callsOf(u"mcp"_s, u"add"_s).size(), registeredOnAdd ? 1 : 2);
        QCOMPARE(m_harness->registeredNames(), QStringList{server});
        QTRY_COMPARE(textIn(u"activityLayer"_s, u"title"_s), u"Authorizing webflow-acme-co"_s);
        QTRY_VERIFY(textIn(u"activityLayer"_s, u"logText"_s).contains(u"Opening your browser"_s));
        shootBoth(shots + u"5-authorizing"_s);

        // The user grants in the browser; from then on the server answers as connected.
        claude.answer(u"mcp get"_s, {"Status: ✔ Connected\n", {}, 0, false, std::nullopt});
        claude.completeGrant();
        QTRY_VERIFY(textIn(u"activityLayer"_s, u"logText"_s).contains(siteName));
        QTRY_COMPARE(m_harness->model->activity().sheet()->outcome, ActivitySheet::Outcome::success);
        shootBoth(shots + u"6-authorized"_s);
        click(u"firstButton"_s);
        QTRY_VERIFY(!find(u"activityLayer"_s));

        QTRY_COMPARE(find(u"statusPill"_s) ? find(u"statusPill"_s)->property("label").toString() : QString(), u"MCP Live"_s);
        QCOMPARE(m_harness->project(server)->siteId, std::optional(siteID));
        shootBoth(shots + u"7-live"_s);
        m_keepForNextStep = registeredOnAdd;
    }



    // Scheduling the live project's site: the tab by its shortcut, the form by Ctrl+N, the site
    // from its menu; the site has no publishing access yet, so connecting it asks for the cloud
    // account first, then consent in the browser; the schedule goes to the backend and its row
    // shows in the queue.
    void scheduleTheSiteAfterSigningIn()
    {
        if (!m_harness)
            QSKIP("the project was not connected");
        m_keepForNextStep = false;
        AppModel &model = *m_harness->model;
        QTest::keyClick(m_window.get(), Qt::Key_2, Qt::ControlModifier);
        QTRY_VERIFY(find(u"invitationCard"_s));
        QTRY_VERIFY(find(u"scheduleEmptyState"_s));
        shootBoth(u"8-scheduling"_s);

        QTest::keyClick(m_window.get(), Qt::Key_N, Qt::ControlModifier);
        QTRY_VERIFY(findIn(u"scheduleForm"_s, u"sitePill"_s));
        QTRY_COMPARE(textOf(u"schedulePillText"_s), u"Cancel"_s);
        QCOMPARE(textIn(u"scheduleForm"_s, u"sitePill"_s), u"Choose a site"_s);
        shootBoth(u"9-form"_s);

        click(u"sitePill"_s);
        // The menu names each project; its entry schedules the site the project works on.
        const auto entry = [this] {
            return findWhere([](QQuickItem *item) {
                return item->inherits("QQuickMenuItem") && item->property("text").toString() == u"Acme Co"_s;
            });
        };
        QTRY_VERIFY(entry() && entry()->isEnabled());
        shootBoth(u"10-site-menu"_s);
        clickItem(entry(), u"Acme Co"_s);
        QTRY_COMPARE(confirmTitle(), u"Connect publishing for "_s + siteName + u'?');
        shootBoth(u"11-connect-publishing"_s);
        clickItem(findIn(u"confirmLayer"_s, u"confirmButton"_s), u"Connect"_s);

        // Publishing runs through the cloud account, which nobody signed in to yet.
        QTRY_VERIFY(findIn(u"signInLayer"_s, u"emailField"_s));
        QTRY_VERIFY(findIn(u"signInLayer"_s, u"emailField"_s) && findIn(u"signInLayer"_s, u"emailField"_s)->hasActiveFocus());
        type(m_backend.userEmail);
        shootBoth(u"12-sign-in"_s);
        QTest::keyClick(m_window.get(), Qt::Key_Return);
        QTRY_VERIFY(findIn(u"signInLayer"_s, u"codeField"_s));
        QTRY_VERIFY(findIn(u"signInLayer"_s, u"codeField"_s) && findIn(u"signInLayer"_s, u"codeField"_s)->hasActiveFocus());
        type(FakeBackend::validCode);
        shootBoth(u"13-code"_s);
        QTest::keyClick(m_window.get(), Qt::Key_Return);
        QTRY_COMPARE(model.account().sessionKind(), AccountModel::SessionKind::Authenticated);

        // Signed in, the connect goes on to Webflow's consent in the browser.
        QTRY_COMPARE(m_browser.opened, QList<QByteArray>{consentLink});
        QTRY_VERIFY(!find(u"signInLayer"_s));
        shootBoth(u"14-consent"_s);
        m_grants = {QJsonObject{{u"site_id"_s, siteID},
                                {u"site_name"_s, siteName},
                                {u"created_at"_s, u"2026-01-15T12:00:00Z"_s},
                                {u"connection_status"_s, u"active"_s},
                                {u"domains"_s, QJsonArray{QJsonObject{{u"id"_s, u"domain-1"_s},
                                                                      {u"url"_s, u"acme-co.webflow.io"_s},
                                                                      {u"isStaging"_s, true}}}}}};
        m_verdicts = {R"({"phase":"committed","outcome":"granted","landed_site_id":"site-acme"})"};
        m_consentTime.advance(2s);
        QTRY_VERIFY(model.publishAccess().hasPublishingAccess(siteID));
        // The sheet of the connect says so, when it is still up.
        if (find(u"activityLayer"_s)) {
            QTRY_VERIFY(textIn(u"activityLayer"_s, u"logText"_s)
                            .contains(u"Publishing connected for "_s));
        }
        shootBoth(u"15-publishing-connected"_s);
        if (find(u"activityLayer"_s)) {
            click(u"firstButton"_s);
            QTRY_VERIFY(!find(u"activityLayer"_s));
        }

        // The form comes back on the site with its one domain ticked.
        QTRY_COMPARE(textIn(u"scheduleForm"_s, u"sitePill"_s), siteName);
        QTRY_VERIFY(findText(u"acme-co.webflow.io"_s, find(u"scheduleForm"_s)));
        QTRY_VERIFY(findIn(u"scheduleForm"_s, u"submitButton"_s) && findIn(u"scheduleForm"_s, u"submitButton"_s)->isEnabled());
        shootBoth(u"16-form-filled"_s);

        click(u"submitButton"_s);
        QTRY_COMPARE(confirmTitle(), u"Schedule this publish?"_s);
        shootBoth(u"17-confirm-schedule"_s);
        clickItem(findIn(u"confirmLayer"_s, u"confirmButton"_s), u"Schedule Publish"_s);

        QTRY_COMPARE(m_backend.scheduledPublishes.size(), 1);
        const QJsonObject stored = m_backend.scheduledPublishes.constFirst();
        QCOMPARE(stored.value("site_id"_L1).toString(), siteID);
        QCOMPARE(stored.value("connection_name"_L1).toString(), server);
        // An hour ahead of the injected clock, on a five-minute boundary.
        QCOMPARE(QDateTime::fromString(stored.value("publish_at"_L1).toString(), Qt::ISODateWithMs),
                 m_harness->clock.now().addSecs(3600));
        const auto card = [this] {
            return findWhere([](QQuickItem *item) { return item->property("siteName").toString() == siteName; },
                             find(u"scheduleScreen"_s));
        };
        QTRY_VERIFY(card());
        // The form closes once the schedule is queued, and the new row fades all the way in.
        QTRY_VERIFY(!findIn(u"scheduleForm"_s, u"sitePill"_s));
        QTRY_VERIFY(settled(card()));
        const QString when = card()->property("timeText").toString();
        QVERIFY2(!when.isEmpty(), "the row names its time");
        QVERIFY(findText(siteName, card()));
        QVERIFY(findText(when, card()));
        QVERIFY(!find(u"scheduleEmptyState"_s));
        shootBoth(u"18-queued"_s);
        qInfo("queued row: %s, %s", qPrintable(siteName), qPrintable(when));
    }
};

QTEST_MAIN(tst_PanelEndToEnd)
#include "tst_PanelEndToEnd.moc"
