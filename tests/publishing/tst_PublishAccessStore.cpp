// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "PublishingTesting.h"
#include "backend/BackendClient.h"
#include "publishing/PublishAccessStore.h"
#include "support/FakeBackend.h"
#include "support/ManualClock.h"
#include "support/MemorySessionStorage.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <QCoro/QCoroTask>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;
using Kind = PublishAccessStore::DisconnectOutcome::Kind;

Q_DECLARE_METATYPE(FakeBackend::Reply)
Q_DECLARE_METATYPE(QList<FakeBackend::Reply>)
Q_DECLARE_METATYPE(PublishAccessStore::DisconnectOutcome::Kind)
Q_DECLARE_METATYPE(std::optional<QDateTime>)
Q_DECLARE_METATYPE(std::optional<QUuid>)
Q_DECLARE_METATYPE(std::optional<CloudAuthSnapshot>)

namespace {

const QString grantsPath = u"/rest/v1/site_publish_grants"_s;
const QString statesPath = u"/rest/v1/oauth_states"_s;
const QString disconnectPath = u"/functions/v1/webflow-disconnect"_s;
const QString siteStatePath = u"/functions/v1/site-state"_s;
const QString acknowledgePath = u"/rest/v1/rpc/acknowledge_publish_oauth_recovery"_s;

QJsonArray domains(const QString &prefix)
{
    return {QJsonObject{{u"id"_s, prefix + u"-live"_s}, {u"url"_s, u"https://"_s + prefix + u".com"_s}, {u"isStaging"_s, false}},
            QJsonObject{{u"id"_s, prefix + u"-staging"_s},
                        {u"url"_s, u"https://"_s + prefix + u".webflow.io"_s},
                        {u"isStaging"_s, true}}};
}

/// A grant row; a status or name of Undefined leaves the key out.
QJsonObject grant(const QString &site, const QJsonValue &status = u"active"_s, const QJsonValue &name = {},
                  const QJsonValue &siteDomains = {})
{
    QJsonObject row{{u"site_id"_s, site}, {u"created_at"_s, u"2026-03-08T09:30:00.123456+00:00"_s}};
    if (!status.isUndefined())
        row.insert(u"connection_status"_s, status);
    if (!name.isUndefined())
        row.insert(u"site_name"_s, name);
    if (!siteDomains.isUndefined())
        row.insert(u"domains"_s, siteDomains);
    return row;
}

QJsonObject attempt(const QString &state, const QJsonValue &provider = {})
{
    QJsonObject row{{u"state"_s, state}, {u"site_id"_s, u"site-a"_s}, {u"created_at"_s, u"2026-03-08T09:00:00Z"_s}};
    if (!provider.isUndefined())
        row.insert(u"provider"_s, provider);
    return row;
}

QList<PublishDomain> publishDomains(const QString &prefix)
{
    QList<PublishDomain> list;
    for (const QJsonValue value : domains(prefix))
        list.append(*PublishDomain::fromJson(value));
    return list;
}

QSet<QString> ids(std::initializer_list<QString> list)
{
    return QSet<QString>(list);
}

FakeBackend::Reply text(int status, const QByteArray &body)
{
    return FakeBackend::Reply{status, body};
}

} // namespace

class tst_PublishAccessStore : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_folder;
    std::unique_ptr<FakeBackend> m_fake;
    std::unique_ptr<MemorySessionStorage> m_storage;
    ManualClock m_clock;
    MemorySystemLog m_systemLog;
    std::unique_ptr<ErrorLog> m_log;
    std::unique_ptr<BackendClient> m_client;
    QJsonArray m_grants;
    QJsonArray m_attempts;
    RecordingPill m_pill;

    /// A client whose stored session belongs to `user`.
    void signIn(const QUuid &user)
    {
        m_client = signedInClient(*m_fake, *m_storage, m_clock, user);
    }

    std::unique_ptr<PublishAccessStore> makeStore(bool withClient = true, PublishAccessStore::Seams seams = {})
    {
        auto store = std::make_unique<PublishAccessStore>(*m_log, m_clock, m_folder->path(), m_pill, std::nullopt,
                                                          std::move(seams));
        if (withClient)
            store->setClient(m_client.get());
        return store;
    }

    /// A store bound to user A with a first grant read done.
    std::unique_ptr<PublishAccessStore> loadedStore()
    {
        auto store = makeStore();
        store->bindAccount(userA, 1);
        if (!QCoro::waitFor(store->refresh()))
            qFatal("the first grant read failed");
        return store;
    }

    qsizetype requestCount(const QByteArray &method, const QString &path) const
    {
        return m_fake->requests(method, path).size();
    }

private slots:
    void init()
    {
        m_folder = std::make_unique<QTemporaryDir>();
        m_fake = std::make_unique<FakeBackend>();
        m_storage = std::make_unique<MemorySessionStorage>();
        m_systemLog.lines.clear();
        m_log = std::make_unique<ErrorLog>(m_systemLog);
        m_grants = {};
        m_attempts = {};
        m_pill = {};
        m_fake->setUserTable(u"site_publish_grants"_s, [this](const QUuid &) { return m_grants; });
        m_fake->setUserTable(u"oauth_states"_s, [this](const QUuid &) { return m_attempts; });
        signIn(userA);
    }

    void cleanup()
    {
        m_client.reset();
        m_fake.reset();
    }

    // --- Account binding ----------------------------------------------------------------------

    void anotherUserResetsTheStoreAndDismissesThePill_data()
    {
        QTest::addColumn<std::optional<QUuid>>("next");
        QTest::newRow("another user") << std::optional(userB);
        QTest::newRow("signed out") << std::optional<QUuid>();
    }

    void anotherUserResetsTheStoreAndDismissesThePill()
    {
        QFETCH(std::optional<QUuid>, next);
        m_grants = {grant(u"site-a"_s, u"active"_s, u"Acme"_s, domains(u"acme"_s)),
                    grant(u"site-b"_s, u"revocation_pending"_s), grant(u"site-c"_s, u"reconciliation_pending"_s)};
        m_attempts = {attempt(u"s1"_s)};
        const auto store = loadedStore();
        m_fake->script("POST", disconnectPath, text(409, R"({"code":"revocation_pending"})"));
        QCOMPARE(QCoro::waitFor(store->disconnect(u"site-a"_s)).kind, Kind::RevocationPending);
        QVERIFY(store->lastError());
        QVERIFY(store->persistCancellationReceipts({{userA, {userA, userA}}}));
        const OAuthCancellationReceiptMap receipts = store->unresolvedOAuthCancellations();
        QSignalSpy connected(store.get(), &PublishAccessStore::connectedSiteIDsChanged);
        QSignalSpy loadedOnce(store.get(), &PublishAccessStore::hasLoadedOnceChanged);
        m_pill.calls.clear(); // the first binding dismissed it too

        store->bindAccount(next, 2);
        QCOMPARE(m_pill.dismissals(), 1);
        QCOMPARE(store->boundUserID(), next);
        QCOMPARE(store->authGeneration(), 2);
        QVERIFY(store->connectedSiteIDs().isEmpty());
        QVERIFY(store->pendingRevocationSiteIDs().isEmpty());
        QVERIFY(store->recoveryRequiredSiteIDs().isEmpty());
        QVERIFY(store->oauthRecoveryAttempts().isEmpty());
        QVERIFY(store->domains().isEmpty());
        QVERIFY(store->siteNames().isEmpty());
        QVERIFY(!store->available());
        QVERIFY(!store->isChecking());
        QVERIFY(!store->hasLoadedOnce());
        QCOMPARE(store->lastError(), std::nullopt);
        QCOMPARE(connected.size(), 1);
        QCOMPARE(loadedOnce.size(), 1);
        // The receipts belong to every account.
        QCOMPARE(store->unresolvedOAuthCancellations(), receipts);

        // The same binding again only takes the generation.
        store->bindAccount(next, 3);
        QCOMPARE(m_pill.dismissals(), 1);
        QCOMPARE(store->authGeneration(), 3);
        QCOMPARE(connected.size(), 1);
    }

    void theSameUserOnlyMovesTheGeneration()
    {
        m_grants = {grant(u"site-a"_s)};
        const auto store = loadedStore();
        m_fake->script("POST", disconnectPath, text(409, R"({"code":"revocation_pending"})"));
        QCoro::waitFor(store->disconnect(u"site-a"_s));
        const std::optional<QString> lastError = store->lastError();
        QVERIFY(lastError);
        const std::optional<CloudAuthSnapshot> before = QCoro::waitFor(store->captureAuthSnapshot());
        QCOMPARE(before, std::optional(CloudAuthSnapshot{userA, 1}));
        QSignalSpy connected(store.get(), &PublishAccessStore::connectedSiteIDsChanged);
        QSignalSpy available(store.get(), &PublishAccessStore::availableChanged);
        m_pill.calls.clear();

        store->bindAccount(userA, 2);
        QCOMPARE(m_pill.dismissals(), 0);
        QCOMPARE(store->connectedSiteIDs(), ids({u"site-a"_s}));
        QVERIFY(store->available());
        QVERIFY(store->hasLoadedOnce());
        QCOMPARE(store->lastError(), lastError);
        QCOMPARE(connected.size(), 0);
        QCOMPARE(available.size(), 0);
        // A result begun under the old generation is no longer applied.
        QVERIFY(!QCoro::waitFor(store->isCurrentIdentity(*before)));
        QCOMPARE(QCoro::waitFor(store->captureAuthSnapshot()), std::optional(CloudAuthSnapshot{userA, 2}));

        // Signed out with nobody bound: only the generation, again.
        const auto unbound = makeStore();
        unbound->bindAccount(std::nullopt, 5);
        QCOMPARE(unbound->authGeneration(), 5);
        QCOMPARE(m_pill.dismissals(), 0);
    }

    void snapshots_data()
    {
        QTest::addColumn<QString>("situation");
        QTest::addColumn<std::optional<CloudAuthSnapshot>>("expected");

        QTest::newRow("signed in and bound") << u"bound"_s << std::optional(CloudAuthSnapshot{userA, 4});
        QTest::newRow("no client") << u"no client"_s << std::optional<CloudAuthSnapshot>();
        QTest::newRow("no bound user") << u"unbound"_s << std::optional<CloudAuthSnapshot>();
        QTest::newRow("the session is another user's") << u"other session"_s << std::optional<CloudAuthSnapshot>();
        QTest::newRow("no session") << u"no session"_s << std::optional<CloudAuthSnapshot>();
        QTest::newRow("the generation moves during the session read") << u"moved"_s << std::optional<CloudAuthSnapshot>();
        QTest::newRow("the user changes during the session read") << u"changed"_s << std::optional<CloudAuthSnapshot>();
    }

    void snapshots()
    {
        QFETCH(QString, situation);
        QFETCH(std::optional<CloudAuthSnapshot>, expected);
        if (situation == u"other session"_s)
            signIn(userB);
        if (situation == u"no session"_s) {
            signIn(userA);
            m_storage->items.clear();
        }
        const auto store = makeStore(situation != u"no client"_s);
        if (situation != u"unbound"_s)
            store->bindAccount(userA, 4);
        if (situation == u"moved"_s || situation == u"changed"_s) {
            // A session about to expire is renewed: the read waits on the network, and the binding
            // moves meanwhile.
            m_clock.advance(3600 * 1000);
            m_fake->route("POST", u"/auth/v1/token"_s, [&](const FakeBackend::Request &) {
                store->bindAccount(situation == u"moved"_s ? userA : userB, 5);
                return FakeBackend::Reply::json(200, m_fake->issueSession());
            });
        }
        QCOMPARE(QCoro::waitFor(store->captureAuthSnapshot()), expected);
    }

    // --- Queries ------------------------------------------------------------------------------

    void accessQueries()
    {
        m_grants = {grant(u"site-a"_s), grant(u"site-b"_s, u"revocation_pending"_s),
                    grant(u"site-c"_s, u"active"_s), grant(u"site-c"_s, u"reconciliation_pending"_s)};
        const auto store = makeStore();
        QVERIFY(!store->isSettled());
        QVERIFY(!store->hasPublishingAccess(u"site-a"_s));
        store->bindAccount(userA, 1);

        auto reading = store->refresh();
        QVERIFY(store->isChecking());
        QVERIFY(!store->isSettled());
        QVERIFY(QCoro::waitFor(std::move(reading)));
        QVERIFY(store->isSettled());
        QVERIFY(store->hasPublishingAccess(u"site-a"_s));
        QVERIFY(!store->hasPublishingAccess(u"site-b"_s));
        QVERIFY(!store->hasPublishingAccess(u"site-c"_s)); // connected, and waiting for reconciliation
        QVERIFY(!store->hasPublishingAccess(u"site-x"_s));
        QVERIFY(!store->hasPublishingAccess(std::nullopt));
        QCOMPARE(store->trackedSiteIDs(), ids({u"site-a"_s, u"site-b"_s, u"site-c"_s}));

        // A failed read keeps the sets, but nothing counts as accessible any more.
        m_fake->script("GET", grantsPath, FakeBackend::postgrestError(500, u"XX000"_s, u"boom"_s));
        QVERIFY(!QCoro::waitFor(store->refresh()));
        QCOMPARE(store->connectedSiteIDs(), ids({u"site-a"_s, u"site-c"_s}));
        QVERIFY(!store->hasPublishingAccess(u"site-a"_s));
        QVERIFY(!store->isSettled());
    }

    void recoveryProviderLabel_data()
    {
        QTest::addColumn<QJsonArray>("attempts");
        QTest::addColumn<QString>("label");

        QTest::newRow("no attempts") << QJsonArray() << u"Quorvane"_s;
        QTest::newRow("no providers") << QJsonArray{attempt(u"s1"_s), attempt(u"s2"_s, QJsonValue::Null)} << u"Quorvane"_s;
        QTest::newRow("Webflow MCP twice")
            << QJsonArray{attempt(u"s1"_s, u"webflow_mcp"_s), attempt(u"s2"_s, u"webflow_mcp"_s)} << u"Webflow MCP"_s;
        QTest::newRow("Webflow MCP and another")
            << QJsonArray{attempt(u"s1"_s, u"webflow_mcp"_s), attempt(u"s2"_s, u"quorvane"_s)}
            << u"Webflow MCP and Quorvane"_s;
        QTest::newRow("another only") << QJsonArray{attempt(u"s1"_s, u"webflow_app"_s)} << u"Quorvane"_s;
    }

    void recoveryProviderLabel()
    {
        QFETCH(QJsonArray, attempts);
        QFETCH(QString, label);
        m_attempts = attempts;
        QCOMPARE(loadedStore()->recoveryProviderLabel(), label);
    }

    // --- Grant refresh --------------------------------------------------------------------------

    void refreshPublishesTheGrantState()
    {
        m_grants = {grant(u"site-a"_s, u"active"_s, u"Acme"_s, domains(u"acme"_s)),
                    grant(u"site-a"_s, u"active"_s, u"Acme again"_s, domains(u"other"_s)),
                    grant(u"site-n"_s, QJsonValue::Null, {}, domains(u"null"_s)),
                    grant(u"site-m"_s, QJsonValue::Undefined),
                    grant(u"site-p"_s, u"revocation_pending"_s, {}, domains(u"pending"_s)),
                    grant(u"site-r"_s, u"revocation_confirmed"_s, u"Revoked Inc"_s),
                    grant(u"site-q"_s, u"reconciliation_pending"_s, u"Queued"_s),
                    grant(u"site-x"_s, u"active"_s), grant(u"site-x"_s, u"reconciliation_pending"_s)};
        m_attempts = {attempt(u"s1"_s, u"webflow_mcp"_s), attempt(u"s2"_s)};
        const auto store = makeStore();
        store->bindAccount(userA, 1);
        QVERIFY(QCoro::waitFor(store->refresh()));

        QCOMPARE(store->connectedSiteIDs(), ids({u"site-a"_s, u"site-n"_s, u"site-m"_s, u"site-x"_s}));
        QCOMPARE(store->pendingRevocationSiteIDs(), ids({u"site-p"_s, u"site-r"_s}));
        QCOMPARE(store->recoveryRequiredSiteIDs(), ids({u"site-q"_s, u"site-x"_s}));
        const QHash<QString, QList<PublishDomain>> expectedDomains{{u"site-a"_s, publishDomains(u"acme"_s)},
                                                                   {u"site-n"_s, publishDomains(u"null"_s)},
                                                                   {u"site-m"_s, {}},
                                                                   {u"site-x"_s, {}}};
        QCOMPARE(store->domains(), expectedDomains);
        const QHash<QString, QString> expectedNames{{u"site-a"_s, u"Acme"_s},
                                                    {u"site-r"_s, u"Revoked Inc"_s},
                                                    {u"site-q"_s, u"Queued"_s}};
        QCOMPARE(store->siteNames(), expectedNames);
        QCOMPARE(store->oauthRecoveryAttempts().size(), 2);
        QCOMPARE(store->oauthRecoveryAttempts().at(0).state, u"s1"_s);
        QCOMPARE(store->oauthRecoveryAttempts().at(0).provider, std::optional(u"webflow_mcp"_s));
        QCOMPARE(store->oauthRecoveryAttempts().at(1).state, u"s2"_s);
        QVERIFY(store->available());
        QVERIFY(store->hasLoadedOnce());
        QVERIFY(!store->isChecking());
        QCOMPARE(store->connectedSiteIDList(), (QStringList{u"site-a"_s, u"site-m"_s, u"site-n"_s, u"site-x"_s}));
        QCOMPARE(store->property("domains").toMap().value(u"site-a"_s).toList().at(1).toMap().value(u"isStaging"_s), true);

        // What was asked: the grant columns unfiltered, the attempts of one phase oldest first.
        QCOMPARE(m_fake->requests("GET", grantsPath).first().query,
                 u"select=site_id,site_name,domains,created_at,connection_status"_s);
        QCOMPARE(m_fake->requests("GET", statesPath).first().query,
                 u"select=state,site_id,site_name,created_at,provider&phase=eq.recovery_required&order=created_at.asc.nullslast"_s);
    }

    void anEmptyReadIsAnswerEnough()
    {
        const auto store = makeStore();
        store->bindAccount(userA, 1);
        QVERIFY(QCoro::waitFor(store->refresh()));
        QVERIFY(store->trackedSiteIDs().isEmpty());
        QVERIFY(store->available());
        QVERIFY(store->hasLoadedOnce());
        QVERIFY(store->isSettled());
    }

    void equalStateNotifiesNobody()
    {
        m_grants = {grant(u"site-a"_s, u"active"_s, u"Acme"_s, domains(u"acme"_s)), grant(u"site-b"_s)};
        m_attempts = {attempt(u"s1"_s)};
        const auto store = loadedStore();
        QSignalSpy connected(store.get(), &PublishAccessStore::connectedSiteIDsChanged);
        QSignalSpy domainsSpy(store.get(), &PublishAccessStore::domainsChanged);
        QSignalSpy attempts(store.get(), &PublishAccessStore::oauthRecoveryAttemptsChanged);
        QSignalSpy checking(store.get(), &PublishAccessStore::isCheckingChanged);
        QVERIFY(QCoro::waitFor(store->refresh()));
        QCOMPARE(connected.size(), 0);
        QCOMPARE(domainsSpy.size(), 0);
        QCOMPARE(attempts.size(), 0);
        QCOMPARE(checking.size(), 2); // on and off again

        m_grants = {grant(u"site-a"_s, u"active"_s, u"Acme"_s, domains(u"acme"_s)), grant(u"site-c"_s)};
        QVERIFY(QCoro::waitFor(store->refresh()));
        QCOMPARE(connected.size(), 1);
        QCOMPARE(domainsSpy.size(), 1);
        QCOMPARE(attempts.size(), 0);
    }

    void aFailedReadKeepsThePreviousState_data()
    {
        QTest::addColumn<QJsonArray>("grants");
        QTest::addColumn<bool>("attemptsFail");
        QTest::addColumn<int>("attemptReads");

        QTest::newRow("an unknown grant status") << QJsonArray{grant(u"site-z"_s), grant(u"site-y"_s, u"paused"_s)}
                                                 << false << 0;
        QTest::newRow("a domain without its staging flag")
            << QJsonArray{grant(u"site-z"_s, u"active"_s, {}, QJsonArray{QJsonObject{{u"id"_s, u"d"_s}, {u"url"_s, u"u"_s}}})}
            << false << 0;
        QTest::newRow("the attempts read fails") << QJsonArray{grant(u"site-z"_s)} << true << 1;
    }

    void aFailedReadKeepsThePreviousState()
    {
        QFETCH(QJsonArray, grants);
        QFETCH(bool, attemptsFail);
        QFETCH(int, attemptReads);
        m_grants = {grant(u"site-a"_s, u"active"_s, u"Acme"_s, domains(u"acme"_s)),
                    grant(u"site-p"_s, u"revocation_pending"_s, u"Pending Co"_s),
                    grant(u"site-q"_s, u"reconciliation_pending"_s, u"Queued"_s)};
        m_attempts = {attempt(u"s1"_s)};
        const auto store = loadedStore();
        const QHash<QString, QList<PublishDomain>> domainsBefore = store->domains();
        const QHash<QString, QString> namesBefore{
            {u"site-a"_s, u"Acme"_s}, {u"site-p"_s, u"Pending Co"_s}, {u"site-q"_s, u"Queued"_s}};
        QCOMPARE(store->siteNames(), namesBefore);

        m_grants = grants;
        m_attempts = {};
        if (attemptsFail)
            m_fake->script("GET", statesPath, FakeBackend::postgrestError(503, u"PGRST000"_s, u"unavailable"_s));
        const qsizetype statesBefore = requestCount("GET", statesPath);
        QVERIFY(!QCoro::waitFor(store->refresh()));
        QCOMPARE(requestCount("GET", statesPath) - statesBefore, attemptReads);
        QVERIFY(!store->available());
        QVERIFY(!store->isChecking());
        QVERIFY(store->hasLoadedOnce());
        QCOMPARE(store->connectedSiteIDs(), ids({u"site-a"_s}));
        QCOMPARE(store->pendingRevocationSiteIDs(), ids({u"site-p"_s}));
        QCOMPARE(store->recoveryRequiredSiteIDs(), ids({u"site-q"_s}));
        QCOMPARE(store->siteNames(), namesBefore);
        QCOMPARE(store->domains(), domainsBefore);
        QCOMPARE(store->oauthRecoveryAttempts().size(), 1);
        QVERIFY(m_log->events().isEmpty());
        QCOMPARE(store->lastError(), std::nullopt);
    }

    void aReadForAnAccountThatIsGoneIsDropped()
    {
        m_grants = {grant(u"site-a"_s)};
        const auto store = loadedStore();
        // The user signs out while the grants are being read; the reset stands.
        m_fake->setUserTable(u"site_publish_grants"_s, [&](const QUuid &) {
            store->bindAccount(std::nullopt, 2);
            return QJsonArray{grant(u"site-b"_s)};
        });
        QVERIFY(!QCoro::waitFor(store->refresh()));
        QVERIFY(store->connectedSiteIDs().isEmpty());
        QVERIFY(!store->isChecking());
        QVERIFY(!store->hasLoadedOnce());
    }

    void aCancelledReadKeepsAvailable()
    {
        m_grants = {grant(u"site-a"_s)};
        const auto store = loadedStore();
        m_fake->script("GET", grantsPath, FakeBackend::Reply{.delay = 60s});
        auto reading = store->refresh();
        QTRY_COMPARE(requestCount("GET", grantsPath), 2);
        m_client->cancelAll();
        QVERIFY(!QCoro::waitFor(std::move(reading)));
        QVERIFY(!store->isChecking());
        QVERIFY(store->available());
        QVERIFY(store->isSettled());
        QCOMPARE(store->connectedSiteIDs(), ids({u"site-a"_s}));
    }

    void theRefreshSeamStandsInForTheReads_data()
    {
        QTest::addColumn<bool>("answer");
        QTest::newRow("fresh state") << true;
        QTest::newRow("no state") << false;
    }

    void theRefreshSeamStandsInForTheReads()
    {
        QFETCH(bool, answer);
        PublishAccessStore::Seams seams;
        bool checkingMeanwhile = false;
        PublishAccessStore *current = nullptr;
        seams.grantRefreshInvoker = [&]() -> QCoro::Task<bool> {
            checkingMeanwhile = current->isChecking();
            co_return answer;
        };
        const auto store = makeStore(false, std::move(seams));
        current = store.get();
        QCOMPARE(QCoro::waitFor(store->refresh()), answer);
        QVERIFY(checkingMeanwhile);
        QVERIFY(!store->isChecking());
        QCOMPARE(store->available(), answer);
        QCOMPARE(store->hasLoadedOnce(), answer);
        QCOMPARE(m_fake->requests().size(), 0);
    }

    void withoutClientOrIdentityNothingIsRead()
    {
        const auto unconnected = makeStore(false);
        unconnected->bindAccount(userA, 1);
        const auto unbound = makeStore();
        for (PublishAccessStore *store : {unconnected.get(), unbound.get()}) {
            QVERIFY(!QCoro::waitFor(store->refresh()));
            QCOMPARE(QCoro::waitFor(store->disconnect(u"site-a"_s)),
                     (PublishAccessStore::DisconnectOutcome{Kind::Failed, PublishAccessStore::signInFirstSentence}));
            QVERIFY(!QCoro::waitFor(store->acknowledgeRecoveryAttempts()));
            QCOMPARE(QCoro::waitFor(store->fetchSiteLastUpdated(u"site-a"_s)), std::nullopt);
            QVERIFY(!store->isChecking());
            QCOMPARE(store->lastError(), std::nullopt);
        }
        QCOMPARE(requestCount("GET", grantsPath) + requestCount("POST", disconnectPath)
                     + requestCount("POST", siteStatePath),
                 0);
        QVERIFY(m_log->events().isEmpty());
    }

    // --- Disconnect ---------------------------------------------------------------------------

    void disconnectOutcomes_data()
    {
        QTest::addColumn<QList<FakeBackend::Reply>>("replies");
        QTest::addColumn<QJsonArray>("grantsAfter");
        QTest::addColumn<bool>("grantReadFails");
        QTest::addColumn<Kind>("kind");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QStringList>("logged");

        const QJsonArray gone;
        const QJsonArray stillActive{grant(u"site-a"_s)};
        const QString pending = PublishAccessStore::revocationPendingSentence;
        const QString undetermined = PublishAccessStore::undeterminedSentence;
        const auto reply = [](const QByteArray &body) { return QList<FakeBackend::Reply>{text(200, body)}; };
        const QByteArray pendingBody = R"({"code":"revocation_pending","error":"Webflow is still revoking the grant."})";
        const QByteArray flaggedBody = R"({"code":"conflict","pending_revocation":true})";
        const QByteArray ordinaryBody = R"({"error":"Webflow timed out."})";

        QTest::newRow("already disconnected") << reply(R"({"disconnected":false,"alreadyDisconnected":true})")
                                              << stillActive << false << Kind::AlreadyDisconnected << QString()
                                              << QStringList();
        QTest::newRow("both true") << reply(R"({"disconnected":true,"alreadyDisconnected":true})") << gone << false
                                   << Kind::AlreadyDisconnected << QString() << QStringList();
        QTest::newRow("disconnected") << reply(R"({"disconnected":true})") << stillActive << false
                                      << Kind::Disconnected << QString() << QStringList();
        QTest::newRow("not confirmed") << reply(R"({"disconnected":false})") << gone << false << Kind::Failed
                                       << PublishAccessStore::unconfirmedSentence << QStringList();
        QTest::newRow("a reply without its required key")
            << reply(R"({"alreadyDisconnected":true})") << stillActive << false << Kind::Failed << undetermined
            << QStringList{u"The backend's reply could not be read: \"disconnected\" is missing"_s};
        QTest::newRow("refused: revocation pending, with the server's sentence")
            << QList{text(409, pendingBody)} << stillActive << false << Kind::RevocationPending
            << u"Webflow is still revoking the grant."_s << QStringList{"HTTP 409: " + QString::fromUtf8(pendingBody)};
        QTest::newRow("refused: pending_revocation true, no sentence")
            << QList{text(409, flaggedBody)} << gone << false << Kind::RevocationPending << pending
            << QStringList{"HTTP 409: " + QString::fromUtf8(flaggedBody)};
        QTest::newRow("refused with a secret in the sentence")
            << QList{text(409, R"({"code":"revocation_pending","error":"Key sb_secret_abcdefgh refused"})")} << gone
            << false << Kind::RevocationPending << u"Key \u2039redacted\u203A refused"_s
            << QStringList{u"HTTP 409: {\"code\":\"revocation_pending\",\"error\":\"Key \u2039redacted\u203A refused\"}"_s};
        QTest::newRow("an error that is not JSON, and the site is gone")
            << QList{text(502, "<html>Bad gateway</html>")} << gone << false << Kind::Disconnected << QString()
            << QStringList();
        QTest::newRow("pending_revocation as text, and the site is gone")
            << QList{text(409, R"({"pending_revocation":"true"})")} << gone << false << Kind::Disconnected << QString()
            << QStringList();
        QTest::newRow("an ordinary error, and the site awaits revocation")
            << QList{text(500, ordinaryBody)} << QJsonArray{grant(u"site-a"_s, u"revocation_pending"_s)} << false
            << Kind::RevocationPending << pending << QStringList{"HTTP 500: " + QString::fromUtf8(ordinaryBody)};
        QTest::newRow("an ordinary error, and the site is still connected")
            << QList{text(500, ordinaryBody)} << stillActive << false << Kind::Failed << undetermined
            << QStringList{"HTTP 500: " + QString::fromUtf8(ordinaryBody)};
        QTest::newRow("an error page, cut short in the log")
            << QList{text(500, QByteArray(2000, 'x'))} << stillActive << false << Kind::Failed << undetermined
            << QStringList{u"HTTP 500: "_s + QString(500, u'x') + u"\u2026"_s};
        QTest::newRow("an empty error body, and the grant read fails")
            << QList{text(500, {})} << gone << true << Kind::Failed << undetermined << QStringList{u"HTTP 500: "_s};
        QTest::newRow("the network fails, and so does the grant read")
            << QList{FakeBackend::Reply{.drop = true}, FakeBackend::Reply{.drop = true}} << gone << true << Kind::Failed
            << undetermined << QStringList{u"The network connection was lost."_s};
    }

    void disconnectOutcomes()
    {
        QFETCH(QList<FakeBackend::Reply>, replies);
        QFETCH(QJsonArray, grantsAfter);
        QFETCH(bool, grantReadFails);
        QFETCH(Kind, kind);
        QFETCH(QString, message);
        QFETCH(QStringList, logged);

        m_grants = {grant(u"site-a"_s, u"active"_s, u"Acme"_s, domains(u"acme"_s)), grant(u"site-b"_s)};
        const auto store = loadedStore();
        m_grants = grantsAfter + grant(u"site-b"_s);
        for (const FakeBackend::Reply &reply : replies)
            m_fake->script("POST", disconnectPath, reply);
        if (grantReadFails)
            m_fake->script("GET", grantsPath, FakeBackend::postgrestError(500, u"XX000"_s, u"boom"_s));

        const PublishAccessStore::DisconnectOutcome outcome = QCoro::waitFor(store->disconnect(u"site-a"_s));
        QCOMPARE(outcome.kind, kind);
        QCOMPARE(outcome.message, message);
        const bool failing = kind == Kind::RevocationPending || message == PublishAccessStore::undeterminedSentence;
        QCOMPARE(store->lastError(), failing ? std::optional(message) : std::nullopt);
        QCOMPARE(messagesIn(*m_log, u"webflow-disconnect"_s), logged);
        QCOMPARE(m_log->events().size(), logged.size());

        const QList<FakeBackend::Request> calls = m_fake->requests("POST", disconnectPath);
        QCOMPARE(calls.first().body, R"({"expectedUserId":"3F2B8C1E-5D4A-4E8F-9A7B-1C2D3E4F5A6B","siteId":"site-a"})");
        // Every outcome is settled after one fresh read of the grants, which the state shows.
        QCOMPARE(requestCount("GET", grantsPath), 2);
        QCOMPARE(store->available(), !grantReadFails);
        QCOMPARE(store->trackedSiteIDs().contains(u"site-b"_s), true);
    }

    void disconnectStartsClear()
    {
        m_grants = {grant(u"site-a"_s)};
        const auto store = loadedStore();
        m_fake->script("POST", disconnectPath, text(500, R"({"error":"nope"})"));
        QCOMPARE(QCoro::waitFor(store->disconnect(u"site-a"_s)).kind, Kind::Failed);
        QVERIFY(store->lastError());
        QSignalSpy lastError(store.get(), &PublishAccessStore::lastErrorChanged);
        m_fake->script("POST", disconnectPath, text(200, R"({"disconnected":true})"));
        m_grants = {};
        QCOMPARE(QCoro::waitFor(store->disconnect(u"site-a"_s)).kind, Kind::Disconnected);
        QCOMPARE(store->lastError(), std::nullopt);
        QCOMPARE(lastError.size(), 1);
    }

    void anAccountChangeDuringDisconnectDropsItsResult_data()
    {
        QTest::addColumn<FakeBackend::Reply>("reply");
        QTest::newRow("confirmed") << text(200, R"({"disconnected":true})");
        QTest::newRow("refused") << text(409, R"({"code":"revocation_pending","error":"Still revoking."})");
    }

    void anAccountChangeDuringDisconnectDropsItsResult()
    {
        QFETCH(FakeBackend::Reply, reply);
        m_grants = {grant(u"site-a"_s)};
        const auto store = loadedStore();
        m_fake->setFunction(u"webflow-disconnect"_s, [&](const FakeBackend::Request &) {
            store->bindAccount(std::nullopt, 2);
            return reply;
        });
        QCOMPARE(QCoro::waitFor(store->disconnect(u"site-a"_s)),
                 (PublishAccessStore::DisconnectOutcome{Kind::Failed, PublishAccessStore::accountChangedSentence}));
        QCOMPARE(requestCount("GET", grantsPath), 1);
        QCOMPARE(store->lastError(), std::nullopt);
        QVERIFY(m_log->events().isEmpty());
    }

    // --- Recovery acknowledgement -------------------------------------------------------------

    void acknowledgement_data()
    {
        QTest::addColumn<QList<FakeBackend::Reply>>("replies");
        QTest::addColumn<int>("calls");
        QTest::addColumn<bool>("refreshed");
        QTest::addColumn<bool>("result");
        QTest::addColumn<QStringList>("logged");

        const FakeBackend::Reply yes = FakeBackend::Reply::json(200, true);
        const FakeBackend::Reply no = FakeBackend::Reply::json(200, false);
        QTest::newRow("every attempt acknowledged") << QList{yes, yes, yes} << 3 << true << true << QStringList();
        QTest::newRow("the second not acknowledged") << QList{yes, no, yes} << 2 << false << false << QStringList();
        QTest::newRow("the second fails")
            << QList{yes, FakeBackend::postgrestError(403, u"42501"_s, u"permission denied for function"_s)} << 2 << true
            << false << QStringList{u"permission denied for function"_s};
        QTest::newRow("the text true") << QList{text(200, R"("true")")} << 1 << true << false
                                       << QStringList{u"The backend's reply could not be read: the answer is not a Boolean"_s};
        QTest::newRow("null") << QList{text(200, "null")} << 1 << true << false
                              << QStringList{u"The backend's reply could not be read: the answer is not a Boolean"_s};
    }

    void acknowledgement()
    {
        QFETCH(QList<FakeBackend::Reply>, replies);
        QFETCH(int, calls);
        QFETCH(bool, refreshed);
        QFETCH(bool, result);
        QFETCH(QStringList, logged);

        m_attempts = {attempt(u"s1"_s), attempt(u"s2"_s), attempt(u"s3"_s)};
        const auto store = loadedStore();
        int call = 0;
        m_fake->setRpc(u"acknowledge_publish_oauth_recovery"_s,
                       [&](const FakeBackend::Request &) { return replies.value(call++, text(500, {})); });
        QCOMPARE(QCoro::waitFor(store->acknowledgeRecoveryAttempts()), result);

        const QList<FakeBackend::Request> sent = m_fake->requests("POST", acknowledgePath);
        QCOMPARE(sent.size(), calls);
        for (int index = 0; index < calls; ++index)
            QCOMPARE(sent.at(index).body, R"({"p_state":"s)" + QByteArray::number(index + 1) + R"("})");
        QCOMPARE(requestCount("GET", grantsPath), refreshed ? 2 : 1);
        QCOMPARE(messagesIn(*m_log, u"webflow-oauth-recovery"_s), logged);
    }

    void acknowledgementWithoutAttemptsAsksNothing()
    {
        const auto store = loadedStore();
        QVERIFY(!QCoro::waitFor(store->acknowledgeRecoveryAttempts()));
        QCOMPARE(requestCount("POST", acknowledgePath), 0);
        QCOMPARE(requestCount("GET", grantsPath), 1);
    }

    void acknowledgementStopsForAnotherAccount()
    {
        m_attempts = {attempt(u"s1"_s), attempt(u"s2"_s)};
        const auto store = loadedStore();
        m_fake->setRpc(u"acknowledge_publish_oauth_recovery"_s, [&](const FakeBackend::Request &) {
            store->bindAccount(userB, 2);
            return FakeBackend::Reply::json(200, true);
        });
        QVERIFY(!QCoro::waitFor(store->acknowledgeRecoveryAttempts()));
        QCOMPARE(requestCount("POST", acknowledgePath), 1);
        QCOMPARE(requestCount("GET", grantsPath), 1);
    }

    // --- Site state ---------------------------------------------------------------------------

    void siteLastUpdated_data()
    {
        QTest::addColumn<FakeBackend::Reply>("reply");
        QTest::addColumn<std::optional<QDateTime>>("expected");
        QTest::addColumn<QStringList>("logged");

        const QDateTime at(QDate(2026, 3, 8), QTime(15, 30), Qt::UTC);
        QTest::newRow("with a fraction") << text(200, R"({"lastUpdated":"2026-03-08T15:30:00.250Z"})")
                                         << std::optional(at.addMSecs(250)) << QStringList();
        QTest::newRow("without a fraction") << text(200, R"({"lastUpdated":"2026-03-08T17:30:00+02:00"})")
                                            << std::optional(at) << QStringList();
        QTest::newRow("without a zone") << text(200, R"({"lastUpdated":"2026-03-08T15:30:00.250"})")
                                        << std::optional<QDateTime>() << QStringList();
        QTest::newRow("null") << text(200, R"({"lastUpdated":null})") << std::optional<QDateTime>() << QStringList();
        QTest::newRow("a reply that is no object") << text(200, "null") << std::optional<QDateTime>()
                                                   << QStringList{u"The backend's reply could not be read: the answer is not a JSON object"_s};
        QTest::newRow("an error") << FakeBackend::Reply::json(404, QJsonObject{{u"error"_s, u"Site not found"_s}})
                                  << std::optional<QDateTime>() << QStringList{u"Site not found"_s};
    }

    void siteLastUpdated()
    {
        QFETCH(FakeBackend::Reply, reply);
        QFETCH(std::optional<QDateTime>, expected);
        QFETCH(QStringList, logged);
        const auto store = makeStore();
        store->bindAccount(userA, 1);
        m_fake->script("POST", siteStatePath, reply);
        QCOMPARE(QCoro::waitFor(store->fetchSiteLastUpdated(u"site-a"_s)), expected);
        QCOMPARE(m_fake->requests("POST", siteStatePath).first().body, R"({"siteId":"site-a"})");
        QCOMPARE(messagesIn(*m_log, u"site-state"_s), logged);
    }

    void siteStateForAnAccountThatIsGoneIsDropped()
    {
        const auto store = makeStore();
        store->bindAccount(userA, 1);
        m_fake->setFunction(u"site-state"_s, [&](const FakeBackend::Request &) {
            store->bindAccount(userA, 2);
            return FakeBackend::Reply::json(404, QJsonObject{{u"error"_s, u"Site not found"_s}});
        });
        QCOMPARE(QCoro::waitFor(store->fetchSiteLastUpdated(u"site-a"_s)), std::nullopt);
        QVERIFY(m_log->events().isEmpty());
    }

    // --- Construction -------------------------------------------------------------------------

    void theReceiptsFileLivesInTheGivenFolder()
    {
        const auto store = makeStore();
        QCOMPARE(store->oauthReceiptURL(), m_folder->filePath(u"oauth-cancellation-receipts.json"_s));
        const QString nested = m_folder->filePath(u"not/yet/there"_s);
        const PublishAccessStore inNew(*m_log, m_clock, nested, m_pill, std::nullopt);
        QVERIFY(QFileInfo(nested).isDir());
        QVERIFY(inNew.oauthReceiptPersistenceWritable());
        QCOMPARE(inNew.oauthReceiptURL(), nested + u"/oauth-cancellation-receipts.json"_s);
    }
};

QTEST_GUILESS_MAIN(tst_PublishAccessStore)
#include "tst_PublishAccessStore.moc"
