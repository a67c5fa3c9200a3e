// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "app/AppModel.h"
#include "backend/BackendClient.h"
#include "backend/BackendSession.h"
#include "foundation/UuidText.h"
#include "publishing/PublishingTesting.h"
#include "support/FakeBackend.h"
#include "support/FakeClaude.h"
#include "support/FakeHttpServer.h"
#include "support/ManualClock.h"
#include "support/ManualDelay.h"
#include "support/MemorySessionStorage.h"
#include "support/MemorySystemLog.h"
#include "support/StoreTesting.h"
#include "support/TempHome.h"

#include <QCoro/QCoroTask>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

Q_DECLARE_METATYPE(PublishAccessStore::DisconnectOutcome::Kind)
Q_DECLARE_METATYPE(std::optional<QString>)
Q_DECLARE_METATYPE(std::optional<Project::IssueRecovery>)

namespace {

const QString grantsPath = u"/rest/v1/site_publish_grants"_s;
const QString cancelPath = u"/functions/v1/webflow-oauth-cancel"_s;
const QString startPath = u"/functions/v1/webflow-mcp-oauth-start"_s;
const QString disconnectPath = u"/functions/v1/webflow-disconnect"_s;
const QString acknowledgePath = u"/rest/v1/rpc/acknowledge_publish_oauth_recovery"_s;
const QString consentLink =
    u"https://mcp.webflow.com/oauth/authorize?response_type=code&client_id=wf_client_8c1e5d4a"
    "&redirect_uri=https%3A%2F%2Fabcdefghijklmnop.supabase.co%2Ffunctions%2Fv1%2Fwebflow-mcp-oauth"
    "&state=0f8fad5b-d9cb-469f-a165-70867728950e&code_challenge=E9Melhoa2OwvFrEMTJguCHaoeK1t8URWbuGJSstw-cM"
    "&code_challenge_method=S256&resource=https%3A%2F%2Fmcp.webflow.com%2Fmcp"_s;
const QString attemptState = u"0f8fad5b-d9cb-469f-a165-70867728950e"_s;
const QString capability = u"Zm9vYmFyLWNhbmNlbC1jYXBhYmlsaXR5XzAxMjM0NTY"_s;
const QByteArray granted = R"({"phase":"committed","outcome":"granted","landed_site_id":"site-landed"})";
const QByteArray rejected = R"({"phase":"failed","outcome":"rejected"})";

QJsonObject grant(const QString &site, const QString &status = u"active"_s, const QString &name = {})
{
    QJsonObject row{{u"site_id"_s, site}, {u"created_at"_s, u"2026-01-10T09:30:00Z"_s}, {u"connection_status"_s, status}};
    if (!name.isEmpty())
        row.insert(u"site_name"_s, name);
    return row;
}

PublishingFlows::PublishConnectParams acme(std::optional<QString> mcpName = std::nullopt)
{
    return {u"site-a"_s, u"Acme Site"_s, u"Acme"_s, std::move(mcpName), [] {}};
}

} // namespace

// The publishing flows of a real application model against the fake backend on loopback: the
// session check before a connect, the store's checks, the browser consent on virtual time, the
// outcome recorded in the site directory and the project, cancellations and their review, the
// disconnect, the reset of an uncertain authorization, and the error report.
class tst_PublishingFlows : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TempHome> m_home;
    std::unique_ptr<FakeClaude> m_claude;
    std::unique_ptr<FakeBackend> m_fake;
    std::unique_ptr<FakeHttpServer> m_gateway;
    std::unique_ptr<ManualDelay> m_delay;
    MemorySessionStorage m_storage;
    MemorySystemLog m_systemLog;
    ManualClock m_clock;
    RecordingBrowser m_browser;

    QJsonArray m_grants;
    int m_grantsStatus = 200;
    QJsonArray m_recoveryAttempts;
    /// The backend's record of the phases of operations, as the receipts' reconciliation reads it.
    QJsonArray m_truth;
    QList<QByteArray> m_verdicts;
    bool m_cancelConfirmed = true;
    /// Holds the backend's answers to cancellations while set.
    std::shared_ptr<ReplyGate> m_cancelGate;
    FakeBackend::Reply m_disconnectReply;
    bool m_acknowledges = true;

    /// A model whose account has a stored session of `user` (none: signed out), and a cached
    /// profile with `profileEmail` when given.
    std::unique_ptr<AppModel> makeModel(std::optional<QUuid> user = userA, bool withBackend = true,
                                        const QString &profileEmail = {})
    {
        m_storage.items.clear();
        if (user) {
            m_fake->userId = *user;
            m_storage.items.insert(BackendClient::sessionKey,
                                   BackendSession::fromAuthReply(m_fake->issueSession(), m_clock.now())->toStored());
        }
        if (!profileEmail.isEmpty()) {
            putFile(m_home->appDataDir() + u"/account.json"_s,
                    R"({"version":1,"ownerID":")" + UuidText::format(user.value_or(userA)).toUtf8()
                        + R"(","profile":{"email":")" + profileEmail.toUtf8() + R"(","fetchedAt":790171200}})");
        }
        AppModel::Environment environment;
        environment.systemLog = &m_systemLog;
        environment.driver = m_claude->configuration();
        environment.driver.registryPath = m_home->filePath(u".claude.json"_s);
        environment.pillDelay = m_delay->delay();
        environment.clock = &m_clock;
        environment.accountPause = m_delay->delay();
        environment.schedulePollDelay = m_delay->delay();
        environment.settingsFile = m_home->filePath(u"settings.ini"_s);
        environment.loginItem =
            LoginItem(u"quorvane"_s, u"/usr/bin/quorvane"_s, m_home->filePath(u"autostart"_s));
        environment.version = u"2.0.0"_s;
        environment.sessionStorage = &m_storage;
        if (withBackend)
            environment.backend = BackendConfiguration{m_fake->url(), FakeBackend::publishableKey};
        environment.publishAccess.delay = m_delay->delay();
        environment.publishAccess.browser = &m_browser;
        environment.consentReturnBackend = QUrl(u"https://abcdefghijklmnop.supabase.co"_s);
        environment.errorGateway = [this] { return std::optional(m_gateway->url(u"/error-report"_s)); };
        environment.errorReportDelay = m_delay->delay();
        auto model = std::make_unique<AppModel>(std::move(environment));
        // The cloud bootstrap's hand-over of the account's client.
        model->publishAccess().setClient(model->account().client());
        return model;
    }

    /// Applies `user` as the signed-in identity, as the cloud bootstrap does, and lets the cloud
    /// refresh that follows run to its end, so it cannot touch the sites' publishing marks under
    /// the test: with no grant on the backend it takes the mark off a site marked for this.
    static bool signedIn(AppModel &model, const QUuid &user)
    {
        const QString sentinel = u"site-sentinel"_s;
        if (model.siteDirectory().markPublishingConnected(sentinel, u"Sentinel"_s))
            return false;
        model.cloud().applyCloudAuthChange(user);
        const std::optional<CloudSide::AppCloudAuthSnapshot> applied = model.cloud().currentCloudAuth();
        return applied && applied->userID == user
            && QTest::qWaitFor([&] { return !model.siteDirectory().site(sentinel)->publishingConnectedAt; });
    }

    /// Starts a connect as the views do; it runs on by itself.
    static void connect(AppModel &model, PublishingFlows::PublishConnectParams params, bool preconfirmed = false)
    {
        model.publishing().connectPublishing(std::move(params), preconfirmed);
    }

    [[nodiscard]] qsizetype requestCount(const QByteArray &method, const QString &path) const
    {
        return m_fake->requests(method, path).size();
    }

    /// Lets a connect's next inspection run: the store waits 2 seconds after the hand-off.
    void inspect() { m_delay->advance(2s); }

    [[nodiscard]] static QString confirmTitle(AppModel &model)
    {
        const std::optional<ConfirmRequest> shown = model.confirms().current();
        return shown ? shown->title : QString();
    }

private slots:
    void init()
    {
        m_home = std::make_unique<TempHome>();
        m_claude = std::make_unique<FakeClaude>(*m_home);
        m_fake = std::make_unique<FakeBackend>();
        m_gateway = std::make_unique<FakeHttpServer>();
        m_delay = std::make_unique<ManualDelay>();
        m_systemLog.lines.clear();
        m_browser.opened.clear();
        m_browser.onOpen = {};
        m_grants = {};
        m_grantsStatus = 200;
        m_recoveryAttempts = {};
        m_truth = {};
        m_verdicts.clear();
        m_cancelConfirmed = true;
        m_cancelGate.reset();
        m_disconnectReply = FakeBackend::Reply::json(200, QJsonObject{{u"disconnected"_s, true}});
        m_acknowledges = true;

        m_fake->route("GET", grantsPath, [this](const FakeBackend::Request &) {
            if (m_grantsStatus != 200)
                return FakeBackend::postgrestError(m_grantsStatus, u"XX000"_s, u"grants unavailable"_s);
            return FakeBackend::Reply::json(200, m_grants);
        });
        m_fake->route("GET", u"/rest/v1/oauth_states"_s, [this](const FakeBackend::Request &request) {
            // The recovery read asks for one phase; the reconciliation of receipts reads operations.
            return FakeBackend::Reply::json(200, request.query.contains("recovery_required"_L1) ? m_recoveryAttempts
                                                                                                : m_truth);
        });
        m_fake->setFunction(u"webflow-mcp-oauth-start"_s, [this](const FakeBackend::Request &request) {
            return FakeBackend::Reply::json(
                200, QJsonObject{{u"authorizeURL"_s, consentLink},
                                 {u"state"_s, attemptState},
                                 {u"operationId"_s, request.json().value("operationId"_L1)},
                                 {u"cancelCapability"_s, capability}});
        });
        m_fake->setRpc(u"inspect_publish_oauth_attempt"_s, [this](const FakeBackend::Request &) {
            return FakeBackend::Reply{200, m_verdicts.isEmpty() ? QByteArray("null") : m_verdicts.takeFirst()};
        });
        m_fake->setOpenFunction(u"webflow-oauth-cancel"_s, [this](const FakeBackend::Request &) {
            FakeBackend::Reply reply = FakeBackend::Reply::json(200, QJsonObject{{u"cancelled"_s, m_cancelConfirmed}});
            reply.gate = m_cancelGate;
            return reply;
        });
        m_fake->setFunction(u"webflow-disconnect"_s, [this](const FakeBackend::Request &) { return m_disconnectReply; });
        m_fake->setRpc(u"acknowledge_publish_oauth_recovery"_s, [this](const FakeBackend::Request &) {
            if (!m_acknowledges)
                return FakeBackend::postgrestError(500, u"XX000"_s, u"acknowledgement failed"_s);
            m_recoveryAttempts = {};
            return FakeBackend::Reply{200, "true"};
        });
        m_gateway->route("POST", u"/error-report"_s, [](const FakeHttpServer::Request &) {
            return FakeHttpServer::Reply{204};
        });
    }

    void cleanup()
    {
        // The waits still pending wake to find their owners gone.
        m_delay.reset();
        m_fake.reset();
        m_gateway.reset();
        m_claude.reset();
        m_home.reset();
    }

    // --- Before anything opens -------------------------------------------------------------------

    void sessionStates_data()
    {
        QTest::addColumn<bool>("withBackend");
        QTest::addColumn<bool>("stored");
        QTest::addColumn<QString>("profile");
        QTest::addColumn<QString>("confirm");
        QTest::addColumn<QString>("signInReason");

        // Without a backend the session cannot be confirmed: a notice offers to try again.
        QTest::newRow("session unavailable") << false << false << QString() << u"Couldn't verify your sign-in"_s
                                             << QString();
        QTest::newRow("signed out, nothing remembered")
            << true << false << QString() << QString() << PublishingFlows::signInReason;
        QTest::newRow("signed out, the profile remembered")
            << true << false << u"ada@example.com"_s << QString() << PublishingFlows::signInAgainReason;
    }

    void sessionStates()
    {
        QFETCH(bool, withBackend);
        QFETCH(bool, stored);
        QFETCH(QString, profile);
        QFETCH(QString, confirm);
        QFETCH(QString, signInReason);
        const auto model = makeModel(stored ? std::optional(userA) : std::nullopt, withBackend, profile);

        // Before any connect there is nothing to retry.
        model->publishing().retryPublishingConnect();
        QVERIFY(!model->publishing().publishConnectParams());
        QCOMPARE(confirmTitle(*model), QString());

        int started = 0;
        PublishingFlows::PublishConnectParams params = acme();
        params.onConnected = [&started] { ++started; };
        connect(*model, params, true);

        if (!confirm.isEmpty()) {
            QTRY_COMPARE(confirmTitle(*model), confirm);
            const ConfirmRequest shown = *model->confirms().current();
            QCOMPARE(shown.confirmLabel, u"Try Again"_s);
            QCOMPARE(shown.cancelLabel, u"Not Now"_s);
            QCOMPARE(shown.icon, std::optional(u"cloud-off"_s));
            QVERIFY(!shown.isNotice);
            // Trying again asks the session once more and lands on a new question of its own.
            model->confirms().confirmCurrent();
            QTRY_VERIFY(model->confirms().current() && model->confirms().current()->id != shown.id);
            QCOMPARE(confirmTitle(*model), confirm);
        } else {
            QTRY_COMPARE(model->cloud().signIn()->reason, signInReason);
            QCOMPARE(confirmTitle(*model), QString());
        }
        // Nothing was started: no operation, no request to the backend, no sheet.
        QCOMPARE(model->publishing().publishConnectOperationID(), std::nullopt);
        QVERIFY(!model->activity().sheet());
        QCOMPARE(requestCount("GET", grantsPath), 0);
        QCOMPARE(requestCount("POST", startPath), 0);
        QCOMPARE(started, 0);
    }

    // The store's state decides, before the browser opens, whether the connect may go on.
    void checksBeforeConsent_data()
    {
        QTest::addColumn<QJsonArray>("grants");
        QTest::addColumn<int>("grantsStatus");
        QTest::addColumn<QJsonArray>("attempts");
        QTest::addColumn<bool>("withSite");
        QTest::addColumn<QString>("confirm");
        QTest::addColumn<QString>("message");
        QTest::addColumn<bool>("preconfirmed");

        const QJsonArray none;
        QTest::newRow("the grants cannot be read")
            << none << 500 << none << true << u"Couldn't check publishing access"_s
            << u"Quorvane couldn't safely determine whether this site already has publishing access, so it did not "
               "open Webflow authorization. Sign in, check your connection, and try again."_s << false;
        const QJsonArray attempt{QJsonObject{{u"state"_s, attemptState},
                                             {u"created_at"_s, u"2026-01-09T08:00:00Z"_s},
                                             {u"provider"_s, u"webflow_mcp"_s}}};
        const QString reset =
            u"Webflow may have created an authorization for Webflow MCP that Quorvane did not receive. In Webflow, "
            "open Apps & Integrations and remove Webflow MCP. Removing Webflow MCP may also disconnect your other MCP "
            "connections. Then return here and confirm. Scheduled publishing stays disabled until each needed site is "
            "reconnected."_s;
        QTest::newRow("an attempt needs recovery") << none << 200 << attempt << true << u"Reset the Webflow connection"_s
                                                   << reset << false;
        QTest::newRow("an attempt needs recovery, confirmed beforehand")
            << none << 200 << attempt << true << u"Reset the Webflow connection"_s << reset << true;
        QTest::newRow("an attempt needs recovery, no site named")
            << none << 200 << attempt << false << u"Reset the Webflow connection"_s << reset << false;
        QTest::newRow("the site's revocation is still pending")
            << QJsonArray{grant(u"site-a"_s, u"revocation_pending"_s)} << 200 << none << true
            << u"Publishing disconnect is still finishing"_s
            << u"Publishing is already disabled for Acme. Finish revocation cleanup before connecting it again."_s << false;
        QTest::newRow("the site's access is live")
            << QJsonArray{grant(u"site-a"_s)} << 200 << none << true << u"Re-authorize publishing for Acme?"_s
            << u"Publishing access for this site is already live. Re-authorization replaces the current Webflow grant "
               "and refreshes its site and domain access."_s << false;
        // Without a site the checks of existing access are skipped: the consent opens.
        QTest::newRow("live access, no site named") << QJsonArray{grant(u"site-a"_s)} << 200 << none << false
                                                    << QString() << QString() << false;
        // Confirmed beforehand: live access is replaced without asking again.
        QTest::newRow("live access, confirmed beforehand") << QJsonArray{grant(u"site-a"_s)} << 200 << none << true
                                                           << QString() << QString() << true;
    }

    void checksBeforeConsent()
    {
        QFETCH(QJsonArray, grants);
        QFETCH(int, grantsStatus);
        QFETCH(QJsonArray, attempts);
        QFETCH(bool, withSite);
        QFETCH(QString, confirm);
        QFETCH(QString, message);
        QFETCH(bool, preconfirmed);
        const auto model = makeModel();
        QVERIFY(signedIn(*model, userA));
        m_grants = grants;
        m_grantsStatus = grantsStatus;
        m_recoveryAttempts = attempts;

        PublishingFlows::PublishConnectParams params = acme();
        if (!withSite)
            params.siteID.reset();
        connect(*model, params, preconfirmed);
        if (confirm.isEmpty()) {
            QTRY_COMPARE(m_browser.opened.size(), 1);
            QCOMPARE(model->activity().sheet()->title, u"Connecting publishing for Acme"_s);
            QCOMPARE(confirmTitle(*model), QString());
            return;
        }
        QTRY_COMPARE(confirmTitle(*model), confirm);
        QCOMPARE(model->confirms().current()->message, message);
        // The operation ended with its question; nothing opened in the browser.
        QCOMPARE(model->publishing().publishConnectOperationID(), std::nullopt);
        QCOMPARE(model->publishing().publishConnectAuth(), std::nullopt);
        QVERIFY(!model->activity().sheet());
        QCOMPARE(requestCount("POST", startPath), 0);
        QVERIFY(m_browser.opened.isEmpty());
        // The parameters stay for the retry and the reset.
        QCOMPARE(model->publishing().publishConnectParams()->label, u"Acme"_s);
    }

    // Re-authorizing asks first; confirming connects without asking again.
    void theReauthorizeQuestion()
    {
        const auto model = makeModel();
        QVERIFY(signedIn(*model, userA));
        m_grants = {grant(u"site-a"_s)};
        connect(*model, acme());
        QTRY_COMPARE(confirmTitle(*model), u"Re-authorize publishing for Acme?"_s);
        const ConfirmRequest question = *model->confirms().current();
        QCOMPARE(question.confirmLabel, u"Re-authorize"_s);
        QCOMPARE(question.cancelLabel, u"Cancel"_s);
        QCOMPARE(question.icon, std::optional(u"globe-app-network"_s));
        QVERIFY(!question.isNotice);
        QVERIFY(!question.isDestructive);

        model->confirms().confirmCurrent();
        QTRY_COMPARE(m_browser.opened.size(), 1);
        QCOMPARE(confirmTitle(*model), QString());
        QVERIFY(model->publishing().publishConnectOperationID());
        QCOMPARE(model->activity().sheet()->kind, ActivitySheet::Kind::connectingPublishing);
        QCOMPARE(model->activity().sheet()->subject, std::optional(u"Acme"_s));
        QCOMPARE(model->activity().sheet()->note, PublishingFlows::connectNote);
    }

    // --- The consent and its outcome -------------------------------------------------------------

    void outcomes_data()
    {
        QTest::addColumn<QByteArray>("verdict");
        QTest::addColumn<QJsonArray>("grantsAfter");
        QTest::addColumn<std::optional<QString>>("siteName");
        QTest::addColumn<QString>("recordedName");
        QTest::addColumn<QString>("log");
        QTest::addColumn<ActivitySheet::Outcome>("outcome");

        const QString success = u"✓ Publishing connected for Acme.\n"_s;
        QTest::newRow("landed on another site, named by the grants")
            << granted << QJsonArray{grant(u"site-landed"_s, u"active"_s, u"Landed Site"_s)}
            << std::optional(u"Acme Site"_s) << u"Landed Site"_s << success << ActivitySheet::Outcome::success;
        QTest::newRow("landed, named by the caller")
            << granted << QJsonArray{grant(u"site-landed"_s)} << std::optional(u"Acme Site"_s) << u"Acme Site"_s
            << success << ActivitySheet::Outcome::success;
        QTest::newRow("landed, named by the label")
            << granted << QJsonArray{grant(u"site-landed"_s)} << std::optional<QString>() << u"Acme"_s << success
            << ActivitySheet::Outcome::success;
        QTest::newRow("declined in Webflow") << rejected << QJsonArray() << std::optional(u"Acme Site"_s) << QString()
                                             << u"✕ "_s + PublishAccessStore::rejectedSentence + u'\n'
                                             << ActivitySheet::Outcome::failure;
    }

    void outcomes()
    {
        QFETCH(QByteArray, verdict);
        QFETCH(QJsonArray, grantsAfter);
        QFETCH(std::optional<QString>, siteName);
        QFETCH(QString, recordedName);
        QFETCH(QString, log);
        QFETCH(ActivitySheet::Outcome, outcome);
        const auto model = makeModel();
        QVERIFY(signedIn(*model, userA));
        const Project project = std::get<Project>(model->projectStore().createProject(u"Acme"_s));
        QVERIFY(!model->projectStore().setSiteId(project.id, u"site-a"_s));

        int connected = 0;
        PublishingFlows::PublishConnectParams params = acme(project.mcpName);
        params.siteName = siteName;
        params.onConnected = [&connected] { ++connected; };
        connect(*model, params);
        QTRY_COMPARE(m_browser.opened.size(), 1);
        QCOMPARE(model->activity().sheet()->outcome, ActivitySheet::Outcome::running);
        m_grants = grantsAfter;
        m_verdicts = {verdict};
        inspect();
        QTRY_COMPARE(model->activity().sheet()->outcome, outcome);

        QCOMPARE(model->activity().sheet()->log, log);
        QCOMPARE(model->publishing().publishConnectOperationID(), std::nullopt);
        const std::optional<SiteRecord> landed = model->siteDirectory().site(u"site-landed"_s);
        const std::optional<QString> projectSite = model->projectStore().projectForMCPName(project.mcpName)->siteId;
        if (outcome == ActivitySheet::Outcome::success) {
            // The landed site is what is recorded, and the project follows it there.
            QVERIFY(landed);
            QCOMPARE(landed->name, recordedName);
            QCOMPARE(landed->publishingConnectedAt, std::optional(m_clock.now()));
            QCOMPARE(projectSite, std::optional(u"site-landed"_s));
            QCOMPARE(connected, 1);
        } else {
            QVERIFY(!landed);
            QCOMPARE(projectSite, std::optional(u"site-a"_s));
            QCOMPARE(connected, 0);
        }
    }

    // A newer connect cancels the one waiting in the browser. The older one writes nothing more,
    // not even into its own sheet; the review of its cancellation writes only into the sheet that
    // connect opened, and says in a notice what that sheet can no longer show.
    void aSupersededConnect_data()
    {
        QTest::addColumn<bool>("cancelConfirmed");
        QTest::addColumn<bool>("otherSheetOnTop");
        QTest::addColumn<QString>("olderLog");
        QTest::addColumn<ActivitySheet::Outcome>("olderOutcome");
        QTest::addColumn<QString>("notice");

        QTest::newRow("cancelled, its sheet still shown")
            << true << false << u"\n"_s + PublishingFlows::cancelledReview + u'\n' << ActivitySheet::Outcome::running
            << QString();
        QTest::newRow("unconfirmed, its sheet still shown")
            << false << false << u"\n"_s + PublishingFlows::needsReviewMessage + u'\n'
            << ActivitySheet::Outcome::warning << QString();
        QTest::newRow("cancelled, another sheet on top")
            << true << true << QString() << ActivitySheet::Outcome::running << QString();
        QTest::newRow("unconfirmed, another sheet on top")
            << false << true << QString() << ActivitySheet::Outcome::running
            << u"Publishing authorization needs review"_s;
    }

    void aSupersededConnect()
    {
        QFETCH(bool, cancelConfirmed);
        QFETCH(bool, otherSheetOnTop);
        QFETCH(QString, olderLog);
        QFETCH(ActivitySheet::Outcome, olderOutcome);
        QFETCH(QString, notice);
        const auto model = makeModel();
        QVERIFY(signedIn(*model, userA));
        m_cancelConfirmed = cancelConfirmed;
        // The cancellation settles only once the newer connect has asked its question and ended.
        m_cancelGate = std::make_shared<ReplyGate>();

        connect(*model, acme());
        QTRY_COMPARE(m_browser.opened.size(), 1);
        const ActivitySheet older = *model->activity().sheet();
        const QUuid olderOperation = *model->publishing().publishConnectOperationID();
        std::optional<QUuid> other;
        if (otherSheetOnTop)
            other = model->activity().open(ActivitySheet::Kind::authorizing, u"Authorizing webflow-beta"_s,
                                           u"webflow-beta"_s, u"A browser window will open."_s);

        // The newer connect finds the site live and stops at its question.
        m_grants = {grant(u"site-a"_s)};
        PublishingFlows::PublishConnectParams newer = acme();
        newer.label = u"Acme again"_s;
        connect(*model, newer);
        QTRY_COMPARE(confirmTitle(*model), u"Re-authorize publishing for Acme again?"_s);
        QCOMPARE(model->publishing().publishConnectOperationID(), std::nullopt);
        QVERIFY(model->publishing().publishCancellationOperationIDs().contains(olderOperation));
        // An unconfirmed cancellation leaves a receipt, which the backend's record then settles.
        m_truth = {QJsonObject{{u"operation_id"_s, UuidText::format(olderOperation)}, {u"phase"_s, u"cancelled"_s}}};

        // The older connect wakes to find itself cancelled: its store call returns nothing.
        m_verdicts = {granted};
        inspect();
        QTRY_COMPARE(m_cancelGate->held(), 1);
        m_cancelGate->open();
        QTRY_VERIFY(model->publishing().publishCancellationOperationIDs().isEmpty());
        QCOMPARE(requestCount("POST", cancelPath), 1);
        QVERIFY(!model->siteDirectory().site(u"site-landed"_s));

        const ActivitySheet shown = *model->activity().sheet();
        if (other) {
            // The sheet on top is not the older connect's: the review leaves it alone.
            QCOMPARE(shown.id, *other);
            QCOMPARE(shown.log, QString());
            QCOMPARE(shown.outcome, ActivitySheet::Outcome::running);
        } else {
            QCOMPARE(shown.id, older.id);
            QCOMPARE(shown.log, olderLog);
            QCOMPARE(shown.outcome, olderOutcome);
        }
        model->confirms().dismissConfirm(); // the question of the newer connect
        QCOMPARE(confirmTitle(*model), notice);
        QTRY_VERIFY(model->publishAccess().unresolvedOAuthCancellations().isEmpty());
    }

    // A cancellation notice that arrives while a connect runs waits for it, and shows once the
    // connect has ended and nothing else is up.
    void aNoticeWaitsForTheRunningConnect_data()
    {
        QTest::addColumn<bool>("cancelled");
        QTest::newRow("the connect ends with its question, then that goes") << false;
        QTest::newRow("the connect is cancelled before anything opens") << true;
    }

    void aNoticeWaitsForTheRunningConnect()
    {
        QFETCH(bool, cancelled);
        const auto model = makeModel();
        QVERIFY(signedIn(*model, userA));
        // The connect's read of the publishing state waits until the test lets it through.
        const auto gate = std::make_shared<ReplyGate>();
        FakeBackend::Reply live = FakeBackend::Reply::json(200, QJsonArray{grant(u"site-a"_s)});
        live.gate = gate;
        m_fake->script("GET", grantsPath, live);
        connect(*model, acme());
        QTRY_COMPARE(gate->held(), 1);
        QVERIFY(model->publishing().publishConnectOperationID());

        CloudSide &cloud = model->cloud();
        const OAuthCancellationNotice notice{userA, QUuid::createUuid(), OAuthCancellationNotice::Kind::NeedsReview};
        cloud.presentOAuthCancellationNotice(notice);
        QCOMPARE(cloud.queuedOAuthCancellationNotice(), std::optional(notice));
        QVERIFY(!cloud.displayedOAuthCancellationNotice());
        QCOMPARE(confirmTitle(*model), QString());

        if (cancelled) {
            model->publishing().cancelConnectFor(QUuid::createUuid());
        } else {
            gate->open();
            // The connect ends with its question, and the notice waits behind that in turn.
            QTRY_COMPARE(confirmTitle(*model), u"Re-authorize publishing for Acme?"_s);
            QCOMPARE(model->publishing().publishConnectOperationID(), std::nullopt);
            QCOMPARE(cloud.queuedOAuthCancellationNotice(), std::optional(notice));
            model->confirms().dismissConfirm();
        }
        QCOMPARE(model->publishing().publishConnectOperationID(), std::nullopt);
        QCOMPARE(cloud.displayedOAuthCancellationNotice(), std::optional(notice));
        QVERIFY(!cloud.queuedOAuthCancellationNotice());
        QCOMPARE(confirmTitle(*model), u"Publishing authorization needs review"_s);
        // The cancelled connect's read still lands, and the connect ends without a word.
        gate->open();
        QTRY_VERIFY(!model->publishAccess().isChecking());
        QCOMPARE(confirmTitle(*model), u"Publishing authorization needs review"_s);
    }

    // Cancel on the sheet stops the connect at once; its review finds the sheet ended.
    void cancellingTheSheet()
    {
        const auto model = makeModel();
        QVERIFY(signedIn(*model, userA));
        connect(*model, acme());
        QTRY_COMPARE(m_browser.opened.size(), 1);
        const QUuid sheet = model->activity().sheet()->id;

        model->activity().cancelActivity(sheet);
        QCOMPARE(model->publishing().publishConnectOperationID(), std::nullopt);
        QCOMPARE(model->publishing().publishConnectAuth(), std::nullopt);
        QCOMPARE(model->activity().sheet()->outcome, ActivitySheet::Outcome::failure);
        QTRY_VERIFY(model->publishing().publishCancellationOperationIDs().isEmpty());
        QCOMPARE(requestCount("POST", cancelPath), 1);

        m_verdicts = {granted};
        inspect();
        QTRY_COMPARE(model->publishAccess().activeConnectOperationID(), std::nullopt);
        QCOMPARE(model->activity().sheet()->log, u"\n✕ Cancelling…\n"_s);
        QCOMPARE(model->activity().sheet()->outcome, ActivitySheet::Outcome::failure);
        QVERIFY(!model->siteDirectory().site(u"site-landed"_s));
        // The retry runs the same connect again.
        QVERIFY(model->publishing().publishConnectParams());
        model->publishing().retryPublishingConnect();
        QTRY_COMPARE(m_browser.opened.size(), 2);
    }

    // A change of signed-in user takes the running connect with it: cancelled at the backend,
    // forgotten here, and nothing it learns later is recorded for the new account.
    void anAccountChangeEndsTheConnect()
    {
        const auto model = makeModel();
        QVERIFY(signedIn(*model, userA));
        connect(*model, acme());
        QTRY_COMPARE(m_browser.opened.size(), 1);
        QVERIFY(model->publishing().publishConnectOperationID());

        model->cloud().applyCloudAuthChange(userB);
        QCOMPARE(model->publishing().publishConnectOperationID(), std::nullopt);
        QCOMPARE(model->publishing().publishConnectAuth(), std::nullopt);
        QVERIFY(model->publishing().publishCancellationOperationIDs().isEmpty());
        QTRY_COMPARE(requestCount("POST", cancelPath), 1);

        m_verdicts = {granted};
        inspect();
        QTRY_VERIFY(model->publishAccess().connectContexts().isEmpty());
        QVERIFY(!model->siteDirectory().site(u"site-landed"_s));
        QVERIFY(!model->confirms().current());
    }

    // --- Disconnect ------------------------------------------------------------------------------

    void disconnectOutcomes_data()
    {
        QTest::addColumn<FakeBackend::Reply>("reply");
        QTest::addColumn<QString>("project"); ///< "named", "by site", "by connection" or none
        QTest::addColumn<std::optional<Project::IssueRecovery>>("priorRecovery");
        QTest::addColumn<QString>("notice"); ///< its title, then its message after a line break
        QTest::addColumn<std::optional<QString>>("issue");
        QTest::addColumn<bool>("siteCleared");

        const FakeBackend::Reply pending = FakeBackend::Reply::json(
            409, QJsonObject{{u"code"_s, u"revocation_pending"_s}, {u"error"_s, u"Cleanup runs at Webflow."_s}});
        const FakeBackend::Reply unconfirmed = FakeBackend::Reply::json(200, QJsonObject{{u"disconnected"_s, false}});
        const FakeBackend::Reply done = FakeBackend::Reply::json(200, QJsonObject{{u"disconnected"_s, true}});
        const FakeBackend::Reply already = FakeBackend::Reply::json(
            200, QJsonObject{{u"disconnected"_s, false}, {u"alreadyDisconnected"_s, true}});
        const auto retry = std::optional(Project::IssueRecovery::retryPublishingDisconnect);
        const std::optional<Project::IssueRecovery> noRecovery;
        const std::optional<QString> noIssue;

        QTest::newRow("revocation pending, no project")
            << pending << QString() << noRecovery << u"Publishing disabled; cleanup pending\nCleanup runs at Webflow."_s << noIssue << true;
        QTest::newRow("revocation pending, the named project")
            << pending << u"named"_s << noRecovery << QString()
            << std::optional(u"Publishing is disabled while revocation cleanup is pending. Cleanup runs at Webflow."_s)
            << true;
        QTest::newRow("revocation pending, the project on the site")
            << pending << u"by site"_s << noRecovery << QString()
            << std::optional(u"Publishing is disabled while revocation cleanup is pending. Cleanup runs at Webflow."_s)
            << true;
        QTest::newRow("revocation pending, the project whose connection verifies the site")
            << pending << u"by connection"_s << noRecovery << QString()
            << std::optional(u"Publishing is disabled while revocation cleanup is pending. Cleanup runs at Webflow."_s)
            << true;
        QTest::newRow("failed, no project") << unconfirmed << QString() << noRecovery
                                            << u"Couldn't confirm publishing disconnect\nWebflow did not confirm disconnect."_s << noIssue << false;
        QTest::newRow("failed, the named project")
            << unconfirmed << u"named"_s << noRecovery << QString()
            << std::optional(u"Couldn't confirm publishing disconnect. Webflow did not confirm disconnect."_s) << false;
        QTest::newRow("disconnected, a retry issue goes")
            << done << u"named"_s << retry << QString() << noIssue << true;
        QTest::newRow("already disconnected, a retry issue goes")
            << already << u"by site"_s << retry << QString() << noIssue << true;
        QTest::newRow("disconnected, an issue of the site stays")
            << done << u"named"_s << std::optional(Project::IssueRecovery::verifySite) << QString()
            << std::optional(u"Prior issue"_s) << true;
        QTest::newRow("disconnected, no project") << done << QString() << noRecovery << QString() << noIssue << true;
    }

    void disconnectOutcomes()
    {
        QFETCH(FakeBackend::Reply, reply);
        QFETCH(QString, project);
        QFETCH(std::optional<Project::IssueRecovery>, priorRecovery);
        QFETCH(QString, notice);
        QFETCH(std::optional<QString>, issue);
        QFETCH(bool, siteCleared);
        // The site is known, and verified by the connection of the project to come.
        putFile(m_home->appDataDir() + u"/sites.json"_s,
                R"([{"id":"site-a","name":"Acme Site","connections":["webflow-acme"]}])");
        const auto model = makeModel();
        QVERIFY(signedIn(*model, userA));
        m_disconnectReply = reply;
        QVERIFY(!model->siteDirectory().markPublishingConnected(u"site-a"_s, u"Acme Site"_s));
        // A project on another site comes first: only the one on this site is concerned.
        const Project elsewhere = std::get<Project>(model->projectStore().createProject(u"Other"_s));
        QVERIFY(!model->projectStore().setSiteId(elsewhere.id, u"site-other"_s));
        std::optional<QString> mcpName;
        if (!project.isEmpty()) {
            const Project onSite = std::get<Project>(model->projectStore().createProject(u"Acme"_s));
            if (project != u"by connection")
                QVERIFY(!model->projectStore().setSiteId(onSite.id, u"site-a"_s));
            if (priorRecovery)
                QVERIFY(!model->projectStore().setIssue(u"Prior issue"_s, onSite.mcpName, priorRecovery));
            if (project == u"named")
                mcpName = onSite.mcpName;
        }

        bool done = false;
        [](AppModel &model, std::optional<QString> mcpName, bool &done) -> QCoro::Task<> {
            co_await model.publishing().disconnectPublishing(u"site-a"_s, mcpName);
            done = true;
        }(*model, mcpName, done);
        QTRY_VERIFY(done);

        QCOMPARE(requestCount("POST", disconnectPath), 1);
        const std::optional<ConfirmRequest> shown = model->confirms().current();
        QCOMPARE(shown ? shown->title + u'\n' + shown->message : QString(), notice);
        if (shown) {
            QVERIFY(shown->isNotice);
            QCOMPARE(shown->icon, std::optional(u"cloud-off"_s));
        }
        if (!project.isEmpty()) {
            const Project after = *model->projectStore().projectForMCPName(u"webflow-acme"_s);
            QCOMPARE(after.issue, issue);
            if (issue && !priorRecovery)
                QCOMPARE(after.issueRecovery, std::optional(Project::IssueRecovery::retryPublishingDisconnect));
        }
        QCOMPARE(model->projectStore().projectForMCPName(elsewhere.mcpName)->issue, std::nullopt);
        QCOMPARE(!model->siteDirectory().site(u"site-a"_s)->publishingConnectedAt, siteCleared);
    }

    // Nobody signed in: nothing is sent and nothing shown. The refusal while revocation is
    // pending needs the publishing state read, and retries the cleanup for the same site.
    void disconnectGuards()
    {
        const auto model = makeModel();
        bool done = false;
        [](AppModel &model, bool &done) -> QCoro::Task<> {
            co_await model.publishing().disconnectPublishing(u"site-a"_s, std::nullopt);
            done = true;
        }(*model, done);
        QTRY_VERIFY(done);
        QCOMPARE(requestCount("POST", disconnectPath), 0);
        QCOMPARE(confirmTitle(*model), QString());

        QVERIFY(!model->publishing().refuseWhileRevocationPending(u"site-a"_s, u"Acme"_s, QString()));
        QVERIFY(signedIn(*model, userA));
        QVERIFY(!model->siteDirectory().markPublishingConnected(u"site-a"_s, u"Acme Site"_s));
        m_grants = {grant(u"site-a"_s, u"revocation_pending"_s)};
        bool read = false;
        [](AppModel &model, bool &read) -> QCoro::Task<> { read = co_await model.publishAccess().refresh(); }(*model,
                                                                                                              read);
        QTRY_VERIFY(read);
        QVERIFY(!model->publishing().refuseWhileRevocationPending(QString(), u"Acme"_s, QString()));
        QVERIFY(!model->publishing().refuseWhileRevocationPending(u"site-b"_s, u"Beta"_s, QString()));
        QVERIFY(model->publishing().refuseWhileRevocationPending(u"site-a"_s, u"Acme"_s, QString()));
        QCOMPARE(model->confirms().current()->confirmLabel, u"Retry Cleanup"_s);
        model->confirms().confirmCurrent();
        QTRY_COMPARE(requestCount("POST", disconnectPath), 1);
        QCOMPARE(m_fake->requests("POST", disconnectPath).first().json().value("siteId"_L1).toString(), u"site-a"_s);
        QTRY_VERIFY(!model->siteDirectory().site(u"site-a"_s)->publishingConnectedAt);
    }

    // --- Reset -----------------------------------------------------------------------------------

    void resetThenReconnect_data()
    {
        QTest::addColumn<bool>("fromConnect");
        QTest::addColumn<bool>("acknowledges");
        QTest::addColumn<QString>("after");

        QTest::newRow("after a connect: asked again, live access") << true << true
                                                                  << u"Re-authorize publishing for Acme?"_s;
        QTest::newRow("from the banner before any connect") << false << true << u"Ready to reconnect"_s;
        QTest::newRow("the acknowledgement fails") << true << false << u"Couldn't reset publishing access"_s;
    }

    void resetThenReconnect()
    {
        QFETCH(bool, fromConnect);
        QFETCH(bool, acknowledges);
        QFETCH(QString, after);
        const auto model = makeModel();
        QVERIFY(signedIn(*model, userA));
        m_acknowledges = acknowledges;
        m_grants = {grant(u"site-a"_s)};

        // Nothing to reset: no offer, even with parameters of an earlier connect.
        model->publishing().offerWebflowConnectionReset();
        QCOMPARE(confirmTitle(*model), QString());

        m_recoveryAttempts = {QJsonObject{{u"state"_s, attemptState},
                                          {u"created_at"_s, u"2026-01-09T08:00:00Z"_s},
                                          {u"provider"_s, u"quorvane"_s}}};
        if (fromConnect) {
            connect(*model, acme());
        } else {
            bool read = false;
            [](AppModel &model, bool &read) -> QCoro::Task<> { read = co_await model.publishAccess().refresh(); }(
                *model, read);
            QTRY_VERIFY(read);
            model->publishing().offerWebflowConnectionReset();
        }
        QTRY_COMPARE(confirmTitle(*model), u"Reset the Webflow connection"_s);
        const ConfirmRequest reset = *model->confirms().current();
        QVERIFY(reset.isDestructive);
        QCOMPARE(reset.confirmLabel, u"I've Removed It"_s);
        QVERIFY(reset.message.startsWith(u"Webflow may have created an authorization for Quorvane that"_s));

        model->confirms().confirmCurrent();
        QTRY_COMPARE(confirmTitle(*model), after);
        QCOMPARE(requestCount("POST", acknowledgePath), 1);
        QCOMPARE(model->publishAccess().oauthRecoveryAttempts().isEmpty(), acknowledges);
        QVERIFY(m_browser.opened.isEmpty());
        if (fromConnect && acknowledges) {
            // The reconnect is the same connect, and re-authorizing opens the consent.
            model->confirms().confirmCurrent();
            QTRY_COMPARE(m_browser.opened.size(), 1);
            QCOMPARE(model->activity().sheet()->title, u"Connecting publishing for Acme"_s);
        }
    }

    // --- Error report ----------------------------------------------------------------------------

    void theErrorReportNamesTheAccount_data()
    {
        QTest::addColumn<QString>("profile");
        QTest::addColumn<std::optional<QString>>("logTail");

        QTest::newRow("a cached profile, with the sheet's log") << u"ada@example.com"_s
                                                                << std::optional(u"✕ It failed\n"_s);
        QTest::newRow("a cached profile, no log") << u"ada@example.com"_s << std::optional<QString>();
        QTest::newRow("no profile") << QString() << std::optional<QString>();
    }

    void theErrorReportNamesTheAccount()
    {
        QFETCH(QString, profile);
        QFETCH(std::optional<QString>, logTail);
        const auto model = makeModel(userA, true, profile);
        model->errorLog().record(u"add"_s, u"Registering webflow-acme failed."_s, m_clock.now());

        if (logTail)
            model->publishing().sendErrorReportWithLog(*logTail);
        else
            model->publishing().sendErrorReport();
        QTRY_COMPARE(model->errorLog().reportState(), ErrorLog::ReportState::Sent);

        QCOMPARE(m_gateway->requests().size(), 1);
        const QJsonObject body = m_gateway->requests().first().json();
        QCOMPARE(body.value("email"_L1).toString(), profile);
        QCOMPARE(body.contains("email"_L1), !profile.isEmpty());
        QCOMPARE(body.value("log_tail"_L1).toString(), logTail.value_or(QString()));
        QVERIFY(!body.contains("note"_L1));
        QCOMPARE(body.value("events"_L1).toArray().size(), 1);
    }
};

QTEST_GUILESS_MAIN(tst_PublishingFlows)
#include "tst_PublishingFlows.moc"
