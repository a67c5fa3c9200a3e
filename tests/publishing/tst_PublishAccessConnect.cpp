// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "PublishingTesting.h"
#include "backend/BackendClient.h"
#include "foundation/UuidText.h"
#include "publishing/CancellationReceiptFile.h"
#include "publishing/PublishAccessStore.h"
#include "support/FakeBackend.h"
#include "support/ManualClock.h"
#include "support/ManualDelay.h"
#include "support/MemorySessionStorage.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QNetworkAccessManager>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>
#include <QTest>

#include <QCoro/QCoroTask>

#include <memory>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

Q_DECLARE_METATYPE(FakeBackend::Reply)
Q_DECLARE_METATYPE(OAuthCancellationOutcome)
Q_DECLARE_METATYPE(std::optional<QString>)

namespace {

const QUuid operation = QUuid::fromString(u"1b4e28ba-2fa1-41d2-883f-0016d3cca427"_s);
const QUuid secondOperation = QUuid::fromString(u"6fa459ea-ee8a-4ca4-894e-db77e160355e"_s);
const QString startPath = u"/functions/v1/webflow-mcp-oauth-start"_s;
const QString cancelPath = u"/functions/v1/webflow-oauth-cancel"_s;
const QString inspectPath = u"/rest/v1/rpc/inspect_publish_oauth_attempt"_s;
const QString grantsPath = u"/rest/v1/site_publish_grants"_s;
const QString backend = u"https://abcdefghijklmnop.supabase.co"_s;
const QString state = u"0f8fad5b-d9cb-469f-a165-70867728950e"_s;
const QString capability = u"Zm9vYmFyLWNhbmNlbC1jYXBhYmlsaXR5XzAxMjM0NTY"_s;
const QString consentLink =
    u"https://mcp.webflow.com/oauth/authorize?response_type=code&client_id=wf_client_8c1e5d4a"
    "&redirect_uri=https%3A%2F%2Fabcdefghijklmnop.supabase.co%2Ffunctions%2Fv1%2Fwebflow-mcp-oauth"
    "&state=0f8fad5b-d9cb-469f-a165-70867728950e&code_challenge=E9Melhoa2OwvFrEMTJguCHaoeK1t8URWbuGJSstw-cM"
    "&code_challenge_method=S256&resource=https%3A%2F%2Fmcp.webflow.com%2Fmcp"_s;
const QByteArray granted = R"({"phase":"committed","outcome":"granted","landed_site_id":"site-landed"})";

/// A connect as its caller sees it: whether it ended, and its result.
struct Run
{
    bool done = false;
    std::optional<QString> result;
};

QCoro::Task<> follow(QCoro::Task<std::optional<QString>> task, std::shared_ptr<Run> run)
{
    run->result = co_await std::move(task);
    run->done = true;
}

/// Runs events until `done` holds (true) or ten seconds pass (false). Unlike QTest::qWaitFor it
/// sleeps only until the next event, so the many short exchanges of a long run add up to little.
bool waitUntil(const std::function<bool()> &done)
{
    QTimer limit;
    limit.setSingleShot(true);
    limit.start(10s);
    while (!done()) {
        if (!limit.isActive())
            return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    return true;
}

FakeBackend::Reply text(int status, const QByteArray &body)
{
    return FakeBackend::Reply{status, body};
}

QByteArray cancelBody(const QUuid &operationID)
{
    return R"({"cancelCapability":")" + capability.toUtf8() + R"(","operationId":")"
        + UuidText::format(operationID).toUtf8() + R"(","state":")" + state.toUtf8() + R"("})";
}

} // namespace

// The connect flow against the fake backend over loopback, with the wall clock and the waits on
// virtual time: no test waits out an inspection interval or the 900 seconds.
class tst_PublishAccessConnect : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<ManualDelay> m_delay;
    std::unique_ptr<QTemporaryDir> m_folder;
    std::unique_ptr<FakeBackend> m_fake;
    std::unique_ptr<MemorySessionStorage> m_storage;
    ManualClock m_clock;
    MemorySystemLog m_systemLog;
    std::unique_ptr<ErrorLog> m_log;
    std::unique_ptr<BackendClient> m_client;
    RecordingPill m_pill;
    RecordingBrowser m_browser;

    /// Keys of the start reply to replace.
    QJsonObject m_startOverrides;
    /// Runs when the start request reaches the backend, before it answers.
    std::function<void()> m_onStart;
    /// The start's answer instead of a reply.
    std::optional<FakeBackend::Reply> m_startFailure;
    /// The inspections' answers in order; "null" (no verdict) once they are used up.
    QList<QByteArray> m_verdicts;
    /// Seconds from the hand-off to each inspection.
    QList<qint64> m_inspectedAt;
    QDateTime m_handedOffAt;
    /// The rows `oauth_states` answers to a read of the phases of operations.
    QJsonArray m_truth;

    std::unique_ptr<PublishAccessStore> makeStore(std::optional<QUrl> backendURL = QUrl(backend), bool withClient = true)
    {
        PublishAccessStore::Seams seams;
        seams.delay = m_delay->delay();
        seams.browser = &m_browser;
        auto store = std::make_unique<PublishAccessStore>(*m_log, m_clock, m_folder->path(), m_pill,
                                                          std::move(backendURL), std::move(seams));
        if (withClient)
            store->setClient(m_client.get());
        store->bindAccount(userA, 1);
        m_pill.calls.clear();
        return store;
    }

    std::shared_ptr<Run> connect(PublishAccessStore &store, const QUuid &operationID = operation,
                                 const QString &label = u"Acme"_s)
    {
        auto run = std::make_shared<Run>();
        follow(store.connect(u"site-a"_s, u"Acme"_s, label, operationID), run);
        return run;
    }

    /// Lets the flow run on real events until it ended or handed its n-th link to the browser
    /// (its first wait starts at once after that).
    [[nodiscard]] bool reachesHandOff(const Run &run, int handOffs = 1)
    {
        return waitUntil([&] { return run.done || m_browser.opened.size() >= handOffs; });
    }

    /// Moves virtual time on second by second, the wall clock and the waits together; whatever a
    /// second wakes (an inspection over real HTTP) runs until the flow ended or waits again.
    void pass(std::chrono::seconds span, const Run &run)
    {
        for (auto second = 0s; second < span && !run.done; ++second) {
            const int pending = m_delay->pending();
            m_clock.advance(1000);
            m_delay->advance(1s);
            if (m_delay->pending() < pending)
                QVERIFY(waitUntil([&] { return run.done || m_delay->pending() >= pending; }));
        }
    }

    [[nodiscard]] qsizetype requestCount(const QByteArray &method, const QString &path) const
    {
        return m_fake->requests(method, path).size();
    }

    [[nodiscard]] OAuthCancellationReceiptMap receiptOf(const QUuid &owner, const QUuid &operationID) const
    {
        return {{operationID, UnresolvedOAuthCancellation{owner, operationID}}};
    }

    [[nodiscard]] OAuthCancellationReceiptMap receiptsOnDisk(const PublishAccessStore &store) const
    {
        return CancellationReceiptFile::loadCancellationReceipts(store.oauthReceiptURL()).receipts;
    }

    /// Ends the client's one request still under way and lets its caller see it.
    void endRequests()
    {
        auto *network = m_client->findChild<QNetworkAccessManager *>();
        QSignalSpy finished(network, &QNetworkAccessManager::finished);
        m_client->cancelAll();
        QTRY_VERIFY(!finished.isEmpty());
    }

private slots:
    void init()
    {
        m_delay = std::make_unique<ManualDelay>();
        m_folder = std::make_unique<QTemporaryDir>();
        m_fake = std::make_unique<FakeBackend>();
        m_storage = std::make_unique<MemorySessionStorage>();
        m_systemLog.lines.clear();
        m_log = std::make_unique<ErrorLog>(m_systemLog);
        m_pill = {};
        m_browser.opened.clear();
        m_browser.accepts = true;
        m_browser.onOpen = [this] { m_handedOffAt = m_clock.now(); };
        m_startOverrides = {};
        m_onStart = {};
        m_startFailure.reset();
        m_verdicts.clear();
        m_inspectedAt.clear();
        m_truth = {};

        m_client = signedInClient(*m_fake, *m_storage, m_clock, userA);

        m_fake->setFunction(u"webflow-mcp-oauth-start"_s, [this](const FakeBackend::Request &request) {
            if (m_onStart)
                m_onStart();
            if (m_startFailure)
                return *m_startFailure;
            QJsonObject reply{{u"authorizeURL"_s, consentLink},
                              {u"state"_s, state},
                              {u"operationId"_s, request.json().value("operationId"_L1)},
                              {u"cancelCapability"_s, capability}};
            for (auto it = m_startOverrides.constBegin(); it != m_startOverrides.constEnd(); ++it)
                reply.insert(it.key(), it.value());
            return FakeBackend::Reply::json(200, reply);
        });
        m_fake->setRpc(u"inspect_publish_oauth_attempt"_s, [this](const FakeBackend::Request &) {
            m_inspectedAt.append(m_handedOffAt.secsTo(m_clock.now()));
            return text(200, m_verdicts.isEmpty() ? QByteArray("null") : m_verdicts.takeFirst());
        });
        m_fake->setOpenFunction(u"webflow-oauth-cancel"_s, [](const FakeBackend::Request &) {
            return FakeBackend::Reply::json(200, QJsonObject{{u"cancelled"_s, true}});
        });
        m_fake->setTable(u"site_publish_grants"_s, QJsonArray{QJsonObject{{u"site_id"_s, u"site-landed"_s},
                                                                          {u"created_at"_s, u"2026-03-08T09:30:00Z"_s},
                                                                          {u"connection_status"_s, u"active"_s}}});
        m_fake->route("GET", u"/rest/v1/oauth_states"_s, [this](const FakeBackend::Request &request) {
            // The recovery read asks for attempts, the reconciliation for the phases of operations.
            return FakeBackend::Reply::json(200, request.query.contains("operation_id"_L1) ? m_truth : QJsonArray());
        });
    }

    void cleanup()
    {
        // The waits still pending wake to find their stores gone.
        m_delay.reset();
        m_client.reset();
        m_fake.reset();
    }

    // --- The way through ------------------------------------------------------------------------

    void aGrantedConnect()
    {
        const auto store = makeStore();
        // Undecided until the inspection at 150 seconds.
        m_verdicts = QList<QByteArray>(34, "null");
        m_verdicts.append(granted);
        const auto run = connect(*store);
        QVERIFY(reachesHandOff(*run));
        pass(200s, *run);
        QVERIFY(run->done);

        QCOMPARE(run->result, std::optional(u"site-landed"_s));
        QCOMPARE(store->lastError(), std::nullopt);
        QCOMPARE(m_fake->requests("POST", startPath).size(), 1);
        QCOMPARE(m_fake->requests("POST", startPath).first().body,
                 R"({"expectedUserId":"3F2B8C1E-5D4A-4E8F-9A7B-1C2D3E4F5A6B","operationId":"1B4E28BA-2FA1-41D2-883F-0016D3CCA427","siteId":"site-a","siteName":"Acme"})");
        QCOMPARE(m_browser.opened, QList<QByteArray>{consentLink.toUtf8()});
        // Every 2 seconds for the first 30, every 5 until 120, then every 15.
        const QList<qint64> expected{2,  4,  6,  8,  10, 12, 14, 16,  18,  20,  22,  24,  26,  28,  30,  35,  40, 45,
                                     50, 55, 60, 65, 70, 75, 80, 85, 90, 95, 100, 105, 110, 115, 120, 135, 150};
        QCOMPARE(m_inspectedAt, expected);
        for (const FakeBackend::Request &inspection : m_fake->requests("POST", inspectPath))
            QCOMPARE(inspection.body, R"({"p_state":")" + state.toUtf8() + R"("})");
        QCOMPARE(m_pill.calls, (QStringList{u"show Acme"_s, u"connected Acme"_s}));
        // The grants were read afresh for the verdict, and only for it.
        QCOMPARE(requestCount("GET", grantsPath), 1);
        QVERIFY(store->hasPublishingAccess(u"site-landed"_s));
        QVERIFY(store->connectContexts().isEmpty());
        QCOMPARE(store->activeConnectOperationID(), std::nullopt);
        QVERIFY(m_log->events().isEmpty());
    }

    void grantedResults_data()
    {
        QTest::addColumn<QByteArray>("verdict");
        QTest::addColumn<bool>("closedByHand");
        QTest::addColumn<std::optional<QString>>("result");
        QTest::addColumn<QStringList>("pill");

        const QStringList shownAndConnected{u"show Acme"_s, u"connected Acme"_s};
        QTest::newRow("the site the grant landed on") << granted << false << std::optional(u"site-landed"_s)
                                                      << shownAndConnected;
        QTest::newRow("no landed site: the one asked for")
            << QByteArray(R"({"phase":"committed","outcome":"granted","site_id":"site-other"})") << false
            << std::optional(u"site-a"_s) << shownAndConnected;
        QTest::newRow("the pill closed by hand is dismissed, not marked")
            << granted << true << std::optional(u"site-landed"_s) << shownAndConnected + QStringList{u"dismiss"_s};
    }

    void grantedResults()
    {
        QFETCH(QByteArray, verdict);
        QFETCH(bool, closedByHand);
        QFETCH(std::optional<QString>, result);
        QFETCH(QStringList, pill);
        const auto store = makeStore();
        m_pill.closedByHand = closedByHand;
        m_verdicts = {verdict};
        const auto run = connect(*store);
        QVERIFY(reachesHandOff(*run));
        pass(2s, *run);
        QVERIFY(run->done);
        QCOMPARE(run->result, result);
        QCOMPARE(m_pill.calls, pill);
        QCOMPARE(store->lastError(), std::nullopt);
    }

    void failures_data()
    {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QJsonObject>("startReply");
        QTest::addColumn<QByteArray>("verdict");
        QTest::addColumn<int>("seconds");
        QTest::addColumn<QString>("sentence");
        QTest::addColumn<QStringList>("pill");
        QTest::addColumn<int>("opened");
        QTest::addColumn<QStringList>("logged");

        const QStringList shownThenDismissed{u"show Acme"_s, u"dismiss"_s};
        const QString unverified = PublishAccessStore::unverifiedStartSentence;
        const auto before = [&](const char *name, const QString &setup, const QJsonObject &reply, const QString &sentence,
                                const QStringList &pill = {}, const QStringList &logged = {}) {
            QTest::newRow(name) << setup << reply << QByteArray() << 0 << sentence << pill << 0 << logged;
        };
        const auto verdict = [&](const char *name, const QByteArray &verdict, const QString &sentence) {
            QTest::newRow(name) << QString() << QJsonObject() << verdict << 2 << sentence << shownThenDismissed << 1
                                << QStringList();
        };

        before("no backend client", u"no client"_s, {}, PublishAccessStore::connectSignInFirstSentence);
        before("nobody signed in", u"signed out"_s, {}, PublishAccessStore::connectSignInFirstSentence);
        before("the start call fails", u"start fails"_s, {}, PublishAccessStore::startFailedSentence, {u"dismiss"_s},
               {u"Webflow is unavailable"_s});
        before("a reply for another operation", {}, {{u"operationId"_s, UuidText::format(secondOperation)}}, unverified);
        before("a reply without state", {}, {{u"state"_s, QString()}}, unverified);
        before("a capability of 42 characters", {}, {{u"cancelCapability"_s, capability.left(42)}}, unverified);
        before("a capability of 44 characters", {}, {{u"cancelCapability"_s, capability + u'A'}}, unverified);
        before("a capability with +", {}, {{u"cancelCapability"_s, capability.left(42) + u'+'}}, unverified);
        before("a consent link that breaks the template", {},
               {{u"authorizeURL"_s, QString(consentLink).replace(u"https://"_s, u"HTTPS://"_s)}},
               PublishAccessStore::linkRefusedSentence);
        before("no backend configuration", u"no backend"_s, {}, PublishAccessStore::linkRefusedSentence);
        QTest::newRow("the browser refuses") << u"browser refuses"_s << QJsonObject() << QByteArray() << 0
                                             << PublishAccessStore::browserRefusedSentence << shownThenDismissed << 1
                                             << QStringList();
        verdict("rejected", R"({"phase":"failed","outcome":"rejected"})", PublishAccessStore::rejectedSentence);
        verdict("recovery required", R"({"phase":"recovery_required"})", PublishAccessStore::recoveryRequiredSentence);
        verdict("reconciliation pending", R"({"phase":"reconciliation_pending","outcome":"pending"})",
                PublishAccessStore::reconciliationPendingSentence);
        verdict("rejected wins over recovery", R"({"phase":"recovery_required","outcome":"rejected"})",
                PublishAccessStore::rejectedSentence);
        // The context expires as the inspections reach their limit: the user still hears why.
        QTest::newRow("never decided") << QString() << QJsonObject() << QByteArray() << 900
                                       << PublishAccessStore::notCompletedSentence << shownThenDismissed << 1
                                       << QStringList();
    }

    void failures()
    {
        QFETCH(QString, setup);
        QFETCH(QJsonObject, startReply);
        QFETCH(QByteArray, verdict);
        QFETCH(int, seconds);
        QFETCH(QString, sentence);
        QFETCH(QStringList, pill);
        QFETCH(int, opened);
        QFETCH(QStringList, logged);

        const auto store = makeStore(setup == u"no backend"_s ? std::nullopt : std::optional(QUrl(backend)),
                                     setup != u"no client"_s);
        if (setup == u"signed out"_s) {
            store->bindAccount(std::nullopt, 2);
            m_pill.calls.clear();
        }
        if (setup == u"start fails"_s)
            m_startFailure = FakeBackend::Reply::json(503, QJsonObject{{u"error"_s, u"Webflow is unavailable"_s}});
        m_browser.accepts = setup != u"browser refuses"_s;
        m_startOverrides = startReply;
        if (!verdict.isEmpty())
            m_verdicts = {verdict};

        const auto run = connect(*store);
        QVERIFY(reachesHandOff(*run));
        pass(std::chrono::seconds(seconds), *run);
        QVERIFY(waitUntil([&] { return run->done; }));

        QCOMPARE(run->result, std::nullopt);
        QCOMPARE(store->lastError(), std::optional(sentence));
        QCOMPARE(m_pill.calls, pill);
        QCOMPARE(m_browser.opened.size(), opened);
        QCOMPARE(messagesIn(*m_log, u"webflow-mcp-oauth-start"_s), logged);
        QCOMPARE(requestCount("POST", startPath), setup == u"no client"_s || setup == u"signed out"_s ? 0 : 1);
        QVERIFY(store->connectContexts().isEmpty());
        QCOMPARE(store->activeConnectOperationID(), std::nullopt);
        // Nothing was cancelled, so nothing was sent to cancel.
        QCOMPARE(requestCount("POST", cancelPath), 0);
        if (seconds == 900)
            QCOMPARE(m_inspectedAt.last(), 885);
    }

    void aNewerConnectSupersedesTheOlder()
    {
        const auto store = makeStore();
        const auto older = connect(*store, operation, u"Acme"_s);
        QVERIFY(reachesHandOff(*older));
        const auto newer = connect(*store, secondOperation, u"Beta"_s);
        QVERIFY(reachesHandOff(*newer, 2));

        // Both wake at 2 seconds: the older stops at once, without a word and without asking.
        m_verdicts = {granted};
        m_clock.advance(2000);
        m_delay->advance(2s);
        QVERIFY(older->done);
        QCOMPARE(older->result, std::nullopt);
        QVERIFY(!store->connectContexts().contains(operation));
        QVERIFY(store->connectContexts().contains(secondOperation));

        QTRY_VERIFY(newer->done);
        QCOMPARE(newer->result, std::optional(u"site-landed"_s));
        QCOMPARE(m_inspectedAt, QList<qint64>{2});
        QCOMPARE(store->lastError(), std::nullopt);
        // The pill belonged to the newer attempt: the older never dismissed it.
        QCOMPARE(m_pill.calls, (QStringList{u"show Acme"_s, u"show Beta"_s, u"connected Beta"_s}));
    }

    // --- Cancellation ---------------------------------------------------------------------------

    void cancellingBeforeTheStartReply_data()
    {
        QTest::addColumn<FakeBackend::Reply>("cancelReply");
        QTest::addColumn<OAuthCancellationOutcome>("outcome");

        using Outcome = OAuthCancellationOutcome;
        QTest::newRow("confirmed") << text(200, R"({"cancelled":true})") << Outcome::Cancelled;
        QTest::newRow("an empty reply") << text(200, "{}") << Outcome::ReconciliationRequired;
        QTest::newRow("already ended") << text(200, R"({"cancelled":false,"alreadyTerminal":true})")
                                       << Outcome::ReconciliationRequired;
        QTest::newRow("cancelled as text") << text(200, R"({"cancelled":"true"})") << Outcome::ReconciliationRequired;
        QTest::newRow("refused") << FakeBackend::Reply::json(403, QJsonObject{{u"error"_s, u"bad capability"_s}})
                                 << Outcome::ReconciliationRequired;
    }

    void cancellingBeforeTheStartReply()
    {
        QFETCH(FakeBackend::Reply, cancelReply);
        QFETCH(OAuthCancellationOutcome, outcome);
        const bool unconfirmed = outcome == OAuthCancellationOutcome::ReconciliationRequired;
        const auto store = makeStore();
        QSignalSpy recorded(store.get(), &PublishAccessStore::unresolvedCancellationRecorded);
        QList<OAuthCancellationOutcome> heard;
        std::optional<bool> accepted;
        qsizetype sentMeanwhile = -1;
        m_onStart = [&] {
            accepted = store->cancelConnect(operation, [&](OAuthCancellationOutcome settled) { heard.append(settled); });
            sentMeanwhile = requestCount("POST", cancelPath);
        };
        m_fake->script("POST", cancelPath, cancelReply);

        const auto run = connect(*store);
        QTRY_VERIFY(run->done && !heard.isEmpty());
        QCOMPARE(accepted, std::optional(true));
        QCOMPARE(sentMeanwhile, 0);
        QCOMPARE(run->result, std::nullopt);
        QCOMPARE(store->lastError(), std::nullopt);
        QVERIFY(m_browser.opened.isEmpty());
        QCOMPARE(m_pill.calls, QStringList{u"dismiss"_s});
        // Exactly one cancel, with what the start reply gave.
        const QList<FakeBackend::Request> cancels = m_fake->requests("POST", cancelPath);
        QCOMPARE(cancels.size(), 1);
        QCOMPARE(cancels.first().body, cancelBody(operation));

        QCOMPARE(heard, QList{outcome});
        QCOMPARE(store->oauthCancellationReceipts(), (QHash<QUuid, OAuthCancellationOutcome>{{operation, outcome}}));
        const OAuthCancellationReceiptMap expected = unconfirmed ? receiptOf(userA, operation) : OAuthCancellationReceiptMap();
        QCOMPARE(store->unresolvedOAuthCancellations(), expected);
        QCOMPARE(receiptsOnDisk(*store), expected);
        QCOMPARE(recorded.size(), unconfirmed ? 1 : 0);
        if (unconfirmed)
            QCOMPARE(recorded.first().first().value<QUuid>(), userA);
        QVERIFY(store->connectContexts().isEmpty());
        QVERIFY(store->cancelledConnectOperationIDs().isEmpty());
        if (!unconfirmed)
            return;

        // The backend's record says Webflow completed it anyway: the user hears it, and once dealt
        // with, the receipt leaves memory and file.
        m_truth = {QJsonObject{{u"operation_id"_s, operation.toString(QUuid::WithoutBraces)}, {u"phase"_s, u"committed"_s}}};
        QCOMPARE(QCoro::waitFor(store->reconcileCancellationReceipts(userA)),
                 std::optional(OAuthCancellationNotice{userA, operation, OAuthCancellationNotice::Kind::AuthorizationCompleted}));
        QSignalSpy outcomes(store.get(), &PublishAccessStore::oauthCancellationReceiptsChanged);
        QVERIFY(store->resolveCancellationReceipt(userA, operation));
        QVERIFY(store->oauthCancellationReceipts().isEmpty());
        QCOMPARE(outcomes.size(), 1);
        QVERIFY(store->unresolvedOAuthCancellations().isEmpty());
        QVERIFY(receiptsOnDisk(*store).isEmpty());
        QVERIFY(!store->hasUnresolvedCancellations(userA));
    }

    void aStartThatFailsAfterTheCancelLeavesAReceipt()
    {
        const auto store = makeStore();
        QList<OAuthCancellationOutcome> heard;
        m_onStart = [&] {
            store->cancelConnect(operation, [&](OAuthCancellationOutcome settled) { heard.append(settled); });
        };
        m_startFailure = FakeBackend::Reply::json(500, QJsonObject{{u"error"_s, u"boom"_s}});
        const auto run = connect(*store);
        QTRY_VERIFY(run->done);
        QCOMPARE(heard, QList{OAuthCancellationOutcome::ReconciliationRequired});
        QCOMPARE(store->unresolvedOAuthCancellations(), receiptOf(userA, operation));
        // Nothing to cancel with, and nothing to tell: the receipt's notice will.
        QCOMPARE(requestCount("POST", cancelPath), 0);
        QCOMPARE(store->lastError(), std::nullopt);
        QVERIFY(m_log->events().isEmpty());
    }

    void cancellingAFollowedAttempt()
    {
        const auto store = makeStore();
        const auto run = connect(*store);
        QVERIFY(reachesHandOff(*run));
        QList<OAuthCancellationOutcome> first;
        QList<OAuthCancellationOutcome> second;
        m_fake->script("POST", cancelPath, text(200, "{}"));
        QVERIFY(store->cancelConnect(operation, [&](OAuthCancellationOutcome settled) { first.append(settled); }));
        QCOMPARE(store->activeConnectOperationID(), std::nullopt);
        // Again while the first is on its way: nothing new is sent; the newer handler hears it.
        QVERIFY(store->cancelConnect(operation, [&](OAuthCancellationOutcome settled) { second.append(settled); }));
        QTRY_COMPARE(second, QList{OAuthCancellationOutcome::ReconciliationRequired});
        QVERIFY(first.isEmpty());
        QCOMPARE(requestCount("POST", cancelPath), 1);
        QCOMPARE(m_fake->requests("POST", cancelPath).first().body, cancelBody(operation));

        // The flow stops at its next step, without a word and without asking again.
        pass(2s, *run);
        QVERIFY(run->done);
        QCOMPARE(run->result, std::nullopt);
        QCOMPARE(store->lastError(), std::nullopt);
        QVERIFY(m_inspectedAt.isEmpty());
        QCOMPARE(m_pill.calls, (QStringList{u"show Acme"_s, u"dismiss"_s, u"dismiss"_s}));
        // A settled operation has nothing left to cancel.
        QVERIFY(!store->cancelConnect(operation));
    }

    void anUnansweredCancelExpiresAt900Seconds()
    {
        const auto store = makeStore();
        const auto run = connect(*store);
        QVERIFY(reachesHandOff(*run));
        QSignalSpy recorded(store.get(), &PublishAccessStore::unresolvedCancellationRecorded);
        QList<OAuthCancellationOutcome> heard;
        // The backend takes its time: far longer than the test runs.
        m_fake->script("POST", cancelPath, FakeBackend::Reply{.delay = 600s});
        QVERIFY(store->cancelConnect(operation, [&](OAuthCancellationOutcome settled) { heard.append(settled); }));
        QTRY_COMPARE(requestCount("POST", cancelPath), 1);

        pass(2s, *run);
        QVERIFY(run->done); // the flow stopped at its first wait
        m_clock.advance(897 * 1000);
        m_delay->advance(897s);
        QVERIFY(heard.isEmpty());
        QVERIFY(store->unresolvedOAuthCancellations().isEmpty());
        QVERIFY(store->connectContexts().contains(operation));

        m_clock.advance(1000);
        m_delay->advance(1s);
        QCOMPARE(heard, QList{OAuthCancellationOutcome::ReconciliationRequired});
        QCOMPARE(store->unresolvedOAuthCancellations(), receiptOf(userA, operation));
        QCOMPARE(receiptsOnDisk(*store), receiptOf(userA, operation));
        QVERIFY(store->connectContexts().isEmpty());

        // The late answer finds the cancellation settled and changes nothing.
        endRequests();
        QCOMPARE(heard.size(), 1);
        QCOMPARE(recorded.size(), 1);
        QCOMPARE(store->oauthCancellationReceipts().value(operation), OAuthCancellationOutcome::ReconciliationRequired);
    }

    void cancelAllSettlesTheExpiredFirst_data()
    {
        QTest::addColumn<bool>("cancelledBefore");
        QTest::newRow("an expired connect nobody cancelled is forgotten") << false;
        QTest::newRow("an expired connect whose cancel is unanswered settles unconfirmed") << true;
    }

    void cancelAllSettlesTheExpiredFirst()
    {
        QFETCH(bool, cancelledBefore);
        const auto store = makeStore();
        const auto older = connect(*store, operation, u"Acme"_s);
        QVERIFY(reachesHandOff(*older));
        if (cancelledBefore) {
            m_fake->script("POST", cancelPath, FakeBackend::Reply{.delay = 600s});
            QVERIFY(store->cancelConnect(operation));
            QTRY_COMPARE(requestCount("POST", cancelPath), 1);
        }
        // By the wall clock only: the older context is past its time, its expiry not yet run.
        m_clock.advance(600 * 1000);
        const auto newer = connect(*store, secondOperation, u"Beta"_s);
        QVERIFY(reachesHandOff(*newer, 2));
        m_clock.advance(300 * 1000);

        store->cancelAllConnects();
        QVERIFY(!store->connectContexts().contains(operation));
        QCOMPARE(store->unresolvedOAuthCancellations(),
                 cancelledBefore ? receiptOf(userA, operation) : OAuthCancellationReceiptMap());
        QCOMPARE(store->activeConnectOperationID(), std::nullopt);
        QCOMPARE(m_pill.calls.last(), u"dismiss"_s);
        // Only the live one is cancelled at the backend.
        QTRY_VERIFY(store->oauthCancellationReceipts().contains(secondOperation));
        QCOMPARE(store->oauthCancellationReceipts().value(secondOperation), OAuthCancellationOutcome::Cancelled);
        const QList<FakeBackend::Request> cancels = m_fake->requests("POST", cancelPath);
        QCOMPARE(cancels.size(), cancelledBefore ? 2 : 1);
        QCOMPARE(cancels.last().body.contains(UuidText::format(secondOperation).toUtf8()), true);
        QCOMPARE(store->unresolvedOAuthCancellations().contains(secondOperation), false);
        if (cancelledBefore)
            endRequests();
    }

    void aCancelOutlivesTheAccountThatStartedIt_data()
    {
        QTest::addColumn<bool>("anotherAccount");
        QTest::newRow("under another account's session") << true;
        QTest::newRow("signed out") << false;
    }

    void aCancelOutlivesTheAccountThatStartedIt()
    {
        QFETCH(bool, anotherAccount);
        const auto store = makeStore();
        const auto run = connect(*store);
        QVERIFY(reachesHandOff(*run));
        QSignalSpy recorded(store.get(), &PublishAccessStore::unresolvedCancellationRecorded);

        // The session changes first, as it does when the user signs out or in as someone else.
        if (anotherAccount) {
            m_fake->userId = userB;
            QVERIFY(QCoro::waitFor(m_client->verifyEmailCode(u"bo@example.com"_s, FakeBackend::validCode)).ok());
        } else {
            QVERIFY(QCoro::waitFor(m_client->signOut(BackendClient::SignOutScope::Local)).ok());
        }
        bool heard = false;
        m_fake->script("POST", cancelPath, text(200, "{}"));
        store->cancelConnect(operation, [&](OAuthCancellationOutcome) { heard = true; });
        store->bindAccount(anotherAccount ? std::optional(userB) : std::nullopt, 2);

        QTRY_COMPARE(recorded.size(), 1);
        const FakeBackend::Request cancel = m_fake->requests("POST", cancelPath).first();
        if (anotherAccount)
            QCOMPARE(m_fake->userOf(cancel), userB);
        else
            QCOMPARE(cancel.header("Authorization"), "Bearer " + FakeBackend::publishableKey.toUtf8());
        QCOMPARE(cancel.body, cancelBody(operation));
        // The receipt stays the starting account's; its handler left with it.
        QCOMPARE(recorded.first().first().value<QUuid>(), userA);
        QCOMPARE(store->unresolvedOAuthCancellations(), receiptOf(userA, operation));
        QVERIFY(!heard);

        pass(2s, *run);
        QVERIFY(run->done);
        QCOMPARE(store->lastError(), std::nullopt);
    }
};

QTEST_GUILESS_MAIN(tst_PublishAccessConnect)
#include "tst_PublishAccessConnect.moc"
