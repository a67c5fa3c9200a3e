// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "publishing/PublishAccessStore.h"

#include "backend/BackendClient.h"
#include "foundation/Clock.h"
#include "foundation/StoreFile.h"
#include "model/ErrorLog.h"
#include "platform/ConsentBrowser.h"
#include "publishing/CancellationReceiptFile.h"
#include "publishing/ConnectingPillControl.h"
#include "publishing/PublishAccessCalls.h"

#include <QDir>
#include <QPointer>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

const QString disconnectArea = u"webflow-disconnect"_s;
const QString recoveryArea = u"webflow-oauth-recovery"_s;
const QString siteStateArea = u"site-state"_s;
const QString receiptArea = u"oauth-cancellation-receipt"_s;

QStringList sorted(const QSet<QString> &ids)
{
    QStringList list(ids.cbegin(), ids.cend());
    list.sort();
    return list;
}

PublishAccessStore::DisconnectOutcome outcome(PublishAccessStore::DisconnectOutcome::Kind kind,
                                              const QString &message = {})
{
    return {kind, message};
}

PublishAccessStore::DisconnectOutcome failed(const QString &message)
{
    return outcome(PublishAccessStore::DisconnectOutcome::Kind::Failed, message);
}

PublishAccessStore::DisconnectOutcome accountChanged()
{
    return failed(PublishAccessStore::accountChangedSentence);
}

} // namespace

PublishAccessStore::PublishAccessStore(ErrorLog &errorLog, const Clock &clock, const QString &folder,
                                       ConnectingPillControl &pill, std::optional<QUrl> backendURL, Seams seams,
                                       QObject *parent)
    : QObject(parent)
    , m_errorLog(errorLog)
    , m_clock(clock)
    , m_pill(pill)
    , m_backendURL(std::move(backendURL))
    , m_grantRefreshInvoker(std::move(seams.grantRefreshInvoker))
    , m_oauthReceiptWriter(seams.oauthReceiptWriter ? std::move(seams.oauthReceiptWriter) : ReceiptWriter([](const QByteArray &bytes, const QString &path) {
          return CancellationReceiptFile::writeReceiptAtomically(bytes, path);
      }))
    , m_delay(seams.delay ? std::move(seams.delay) : ContinuousClock::delay())
    , m_ownBrowser(seams.browser ? nullptr : std::make_unique<SystemConsentBrowser>())
    , m_browser(seams.browser ? seams.browser : m_ownBrowser.get())
    , m_oauthReceiptURL(QDir(folder).filePath(receiptFileName))
{
    StoreFile::makeFolder(folder);
    // Read once, before any account is bound: the file holds the receipts of every account.
    const CancellationReceiptFile::Loaded loaded = CancellationReceiptFile::loadCancellationReceipts(m_oauthReceiptURL);
    m_unresolved = loaded.receipts;
    m_oauthReceiptPersistenceWritable = loaded.writable;
    assign(m_persistenceIssue, loaded.issue, &PublishAccessStore::persistenceIssueChanged);
}

PublishAccessStore::PublishAccessStore(ErrorLog &errorLog, const Clock &clock, const QString &folder,
                                       ConnectingPillControl &pill, std::optional<QUrl> backendURL, QObject *parent)
    : PublishAccessStore(errorLog, clock, folder, pill, std::move(backendURL), Seams{}, parent)
{
}

// The tasks still waiting (expiries, cancels, connects) hold the store weakly and find it gone.
PublishAccessStore::~PublishAccessStore() = default;

// --- Identity ---------------------------------------------------------------------------------

void PublishAccessStore::bindAccount(std::optional<QUuid> userID, qint64 authGeneration)
{
    m_authGeneration = authGeneration;
    if (userID == m_boundUserID)
        return;
    // The handlers belong to the departing account's views; the cancellations themselves settle.
    m_activeConnectOperationID.reset();
    m_cancellationHandlers.clear();
    m_pill.dismiss();
    assign(m_connectedSiteIDs, {}, &PublishAccessStore::connectedSiteIDsChanged);
    assign(m_pendingRevocationSiteIDs, {}, &PublishAccessStore::pendingRevocationSiteIDsChanged);
    assign(m_recoveryRequiredSiteIDs, {}, &PublishAccessStore::recoveryRequiredSiteIDsChanged);
    assign(m_oauthRecoveryAttempts, {}, &PublishAccessStore::oauthRecoveryAttemptsChanged);
    assign(m_domains, {}, &PublishAccessStore::domainsChanged);
    assign(m_siteNames, {}, &PublishAccessStore::siteNamesChanged);
    assign(m_available, false, &PublishAccessStore::availableChanged);
    assign(m_isChecking, false, &PublishAccessStore::isCheckingChanged);
    assign(m_hasLoadedOnce, false, &PublishAccessStore::hasLoadedOnceChanged);
    setLastError(std::nullopt);
    m_boundUserID = userID;
}

QCoro::Task<std::optional<CloudAuthSnapshot>> PublishAccessStore::captureAuthSnapshot()
{
    if (!m_client || !m_boundUserID)
        co_return std::nullopt;
    const CloudAuthSnapshot remembered{*m_boundUserID, m_authGeneration};
    const QPointer<PublishAccessStore> self(this);
    const BackendResult<BackendSession> session = co_await m_client->session();
    // The binding may have moved while the session was read.
    if (!self || !session || session.value().user.id != remembered.userID || m_boundUserID != remembered.userID
        || m_authGeneration != remembered.generation)
        co_return std::nullopt;
    co_return remembered;
}

QCoro::Task<bool> PublishAccessStore::isCurrentIdentity(CloudAuthSnapshot snapshot)
{
    if (m_boundUserID != snapshot.userID || m_authGeneration != snapshot.generation || !m_client)
        co_return false;
    const QPointer<PublishAccessStore> self(this);
    const BackendResult<BackendSession> session = co_await m_client->session();
    co_return self && session && m_boundUserID == snapshot.userID && m_authGeneration == snapshot.generation
        && session.value().user.id == snapshot.userID;
}

// --- Grant state ------------------------------------------------------------------------------

bool PublishAccessStore::hasPublishingAccess(const std::optional<QString> &siteID) const
{
    return m_available && siteID && m_connectedSiteIDs.contains(*siteID) && !m_recoveryRequiredSiteIDs.contains(*siteID);
}

bool PublishAccessStore::isSettled() const
{
    return m_available && m_hasLoadedOnce && !m_isChecking;
}

QSet<QString> PublishAccessStore::trackedSiteIDs() const
{
    return QSet<QString>(m_connectedSiteIDs).unite(m_pendingRevocationSiteIDs).unite(m_recoveryRequiredSiteIDs);
}

QString PublishAccessStore::recoveryProviderLabel() const
{
    QSet<QString> providers;
    for (const OAuthRecoveryAttempt &attempt : m_oauthRecoveryAttempts) {
        if (attempt.provider)
            providers.insert(*attempt.provider);
    }
    const QString mcp = u"webflow_mcp"_s;
    if (providers == QSet<QString>{mcp})
        return u"Webflow MCP"_s;
    if (providers.contains(mcp))
        return u"Webflow MCP and Quorvane"_s;
    return u"Quorvane"_s;
}

QCoro::Task<bool> PublishAccessStore::refresh()
{
    const QPointer<PublishAccessStore> self(this);
    if (m_grantRefreshInvoker) {
        assign(m_isChecking, true, &PublishAccessStore::isCheckingChanged);
        const GrantRefreshInvoker invoker = m_grantRefreshInvoker;
        const bool answer = co_await invoker();
        if (!self)
            co_return answer;
        assign(m_isChecking, false, &PublishAccessStore::isCheckingChanged);
        assign(m_available, answer, &PublishAccessStore::availableChanged);
        if (answer)
            assign(m_hasLoadedOnce, true, &PublishAccessStore::hasLoadedOnceChanged);
        co_return answer;
    }

    // Without a client or a bound user there is no snapshot either.
    const std::optional<CloudAuthSnapshot> snapshot = co_await captureAuthSnapshot();
    if (!self || !snapshot)
        co_return false;
    BackendClient *const client = m_client;
    assign(m_isChecking, true, &PublishAccessStore::isCheckingChanged);

    const BackendResult<QList<GrantRow>> grants = co_await PublishAccessCalls::readGrants(client);
    if (!self)
        co_return false;
    // The recovery read runs only after the grant read succeeded; either failure stops here.
    std::optional<BackendError> failure;
    BackendResult<QList<OAuthRecoveryAttempt>> attempts;
    if (!grants) {
        failure = grants.error();
    } else {
        attempts = co_await PublishAccessCalls::readRecoveryAttempts(client);
        if (!self)
            co_return false;
        if (!attempts)
            failure = attempts.error();
    }

    // Results for an identity that is gone are dropped whole, and a reset that ran meanwhile
    // stands (isChecking included).
    const bool current = co_await isCurrentIdentity(*snapshot);
    if (!self || !current)
        co_return false;
    if (failure) {
        assign(m_isChecking, false, &PublishAccessStore::isCheckingChanged);
        if (failure->kind() != BackendError::Kind::Cancelled)
            assign(m_available, false, &PublishAccessStore::availableChanged);
        co_return false;
    }
    publishGrants(grants.value(), attempts.value());
    co_return true;
}

void PublishAccessStore::publishGrants(const QList<GrantRow> &grants, const QList<OAuthRecoveryAttempt> &attempts)
{
    QSet<QString> connected;
    QSet<QString> pendingRevocation;
    QSet<QString> recoveryRequired;
    QHash<QString, QList<PublishDomain>> domains;
    QHash<QString, QString> siteNames;
    for (const GrantRow &row : grants) {
        const GrantConnectionStatus status = row.connectionStatus.value_or(GrantConnectionStatus::Active);
        switch (status) {
        case GrantConnectionStatus::Active:
            connected.insert(row.siteID);
            // The first row of a site keeps its place.
            if (!domains.contains(row.siteID))
                domains.insert(row.siteID, row.domains.value_or(QList<PublishDomain>()));
            break;
        case GrantConnectionStatus::RevocationPending:
        case GrantConnectionStatus::RevocationConfirmed:
            pendingRevocation.insert(row.siteID);
            break;
        case GrantConnectionStatus::ReconciliationPending:
            recoveryRequired.insert(row.siteID);
            break;
        }
        if (row.siteName && !siteNames.contains(row.siteID))
            siteNames.insert(row.siteID, *row.siteName);
    }
    assign(m_connectedSiteIDs, connected, &PublishAccessStore::connectedSiteIDsChanged);
    assign(m_pendingRevocationSiteIDs, pendingRevocation, &PublishAccessStore::pendingRevocationSiteIDsChanged);
    assign(m_recoveryRequiredSiteIDs, recoveryRequired, &PublishAccessStore::recoveryRequiredSiteIDsChanged);
    assign(m_oauthRecoveryAttempts, attempts, &PublishAccessStore::oauthRecoveryAttemptsChanged);
    assign(m_domains, domains, &PublishAccessStore::domainsChanged);
    assign(m_siteNames, siteNames, &PublishAccessStore::siteNamesChanged);
    assign(m_available, true, &PublishAccessStore::availableChanged);
    assign(m_hasLoadedOnce, true, &PublishAccessStore::hasLoadedOnceChanged);
    assign(m_isChecking, false, &PublishAccessStore::isCheckingChanged);
}

QCoro::Task<std::optional<bool>> PublishAccessStore::refreshUnder(CloudAuthSnapshot snapshot)
{
    const QPointer<PublishAccessStore> self(this);
    const bool refreshed = co_await refresh();
    if (!self)
        co_return std::nullopt;
    const bool current = co_await isCurrentIdentity(snapshot);
    if (!self || !current)
        co_return std::nullopt;
    co_return refreshed;
}

// --- Operations -------------------------------------------------------------------------------

QCoro::Task<PublishAccessStore::DisconnectOutcome> PublishAccessStore::disconnect(QString siteID)
{
    using Kind = DisconnectOutcome::Kind;
    const QPointer<PublishAccessStore> self(this);
    setLastError(std::nullopt);
    const std::optional<CloudAuthSnapshot> snapshot = co_await captureAuthSnapshot();
    if (!self)
        co_return accountChanged();
    if (!snapshot)
        co_return failed(signInFirstSentence);
    BackendClient *const client = m_client;

    const DisconnectRequest request{siteID, snapshot->userID};
    const BackendResult<DisconnectResult> reply = co_await PublishAccessCalls::disconnect(client, request);
    if (!self)
        co_return accountChanged();
    const bool current = co_await isCurrentIdentity(*snapshot);
    if (!self || !current)
        co_return accountChanged();

    if (reply) {
        // The refresh's own answer does not matter here, only that the identity held.
        const std::optional<bool> refreshed = co_await refreshUnder(*snapshot);
        if (!refreshed)
            co_return accountChanged();
        if (reply.value().alreadyDisconnected == true)
            co_return outcome(Kind::AlreadyDisconnected);
        if (reply.value().disconnected)
            co_return outcome(Kind::Disconnected);
        co_return failed(unconfirmedSentence);
    }

    // The log keeps what the server said; the user gets a sentence.
    const BackendError &error = reply.error();
    QString detail = error.message();
    std::optional<DisconnectFailure> failure;
    if (error.kind() == BackendError::Kind::Server) {
        if (const std::optional<QString> body = utf8Text(error.body())) {
            detail = u"HTTP %1: %2"_s.arg(error.status()).arg(BackendError::serverText(*body));
            failure = DisconnectFailure::fromBody(error.body());
        }
    }

    if (failure && failure->isPendingRevocation()) {
        const std::optional<bool> refreshed = co_await refreshUnder(*snapshot);
        if (!refreshed)
            co_return accountChanged();
        const QString message = failure->error ? BackendError::serverText(*failure->error) : revocationPendingSentence;
        setLastError(message);
        record(disconnectArea, detail);
        co_return outcome(Kind::RevocationPending, message);
    }

    // Nothing says how it ended: a fresh read of the grants decides.
    const std::optional<bool> refreshed = co_await refreshUnder(*snapshot);
    if (!refreshed)
        co_return accountChanged();
    if (*refreshed && m_pendingRevocationSiteIDs.contains(siteID)) {
        setLastError(revocationPendingSentence);
        record(disconnectArea, detail);
        co_return outcome(Kind::RevocationPending, revocationPendingSentence);
    }
    if (*refreshed && !trackedSiteIDs().contains(siteID))
        co_return outcome(Kind::Disconnected);
    setLastError(undeterminedSentence);
    record(disconnectArea, detail);
    co_return failed(undeterminedSentence);
}

QCoro::Task<bool> PublishAccessStore::acknowledgeRecoveryAttempts()
{
    const QPointer<PublishAccessStore> self(this);
    const std::optional<CloudAuthSnapshot> snapshot = co_await captureAuthSnapshot();
    if (!self || !snapshot)
        co_return false;
    BackendClient *const client = m_client;
    // The list as it stands now: attempts that appear meanwhile wait for the next call.
    const QList<OAuthRecoveryAttempt> attempts = m_oauthRecoveryAttempts;
    if (attempts.isEmpty())
        co_return false;

    for (const OAuthRecoveryAttempt &attempt : attempts) {
        const RecoveryAcknowledgement parameters{attempt.state};
        const BackendResult<bool> reply = co_await PublishAccessCalls::acknowledgeRecovery(client, parameters);
        if (!self)
            co_return false;
        if (!reply) {
            const bool current = co_await isCurrentIdentity(*snapshot);
            if (!self || !current)
                co_return false;
            record(recoveryArea, reply.error().message());
            co_await refresh();
            co_return false;
        }
        if (!reply.value())
            co_return false;
        const bool current = co_await isCurrentIdentity(*snapshot);
        if (!self || !current)
            co_return false;
    }
    // The acknowledged attempts leave the list only through this read.
    co_return co_await refresh();
}

QCoro::Task<std::optional<QDateTime>> PublishAccessStore::fetchSiteLastUpdated(QString siteID)
{
    const QPointer<PublishAccessStore> self(this);
    const std::optional<CloudAuthSnapshot> snapshot = co_await captureAuthSnapshot();
    if (!self || !snapshot)
        co_return std::nullopt;
    const SiteStateRequest request{siteID};
    const BackendResult<SiteState> reply = co_await PublishAccessCalls::readSiteState(m_client, request);
    if (!self)
        co_return std::nullopt;
    const bool current = co_await isCurrentIdentity(*snapshot);
    if (!self || !current)
        co_return std::nullopt;
    if (!reply) {
        record(siteStateArea, reply.error().message());
        co_return std::nullopt;
    }
    co_return reply.value().lastUpdatedDate();
}

// --- Cancellation receipts --------------------------------------------------------------------

bool PublishAccessStore::persistCancellationReceipts(const OAuthCancellationReceiptMap &receipts)
{
    // Read-only lasts until the process ends: the file on disk may be the only evidence left.
    if (!m_oauthReceiptPersistenceWritable)
        return false;
    if (m_oauthReceiptWriter(PersistedOAuthCancellations::encode(receipts), m_oauthReceiptURL) != 0) {
        m_oauthReceiptPersistenceWritable = false;
        assign(m_persistenceIssue, std::optional(receiptSaveFailedSentence), &PublishAccessStore::persistenceIssueChanged);
        record(receiptArea, receiptSaveFailedLogMessage);
        return false;
    }
    assign(m_persistenceIssue, std::optional<QString>(), &PublishAccessStore::persistenceIssueChanged);
    return true;
}

// --- Property forms ----------------------------------------------------------------------------

QStringList PublishAccessStore::connectedSiteIDList() const
{
    return sorted(m_connectedSiteIDs);
}

QStringList PublishAccessStore::pendingRevocationSiteIDList() const
{
    return sorted(m_pendingRevocationSiteIDs);
}

QStringList PublishAccessStore::recoveryRequiredSiteIDList() const
{
    return sorted(m_recoveryRequiredSiteIDs);
}

QVariantList PublishAccessStore::oauthRecoveryAttemptList() const
{
    QVariantList list;
    for (const OAuthRecoveryAttempt &attempt : m_oauthRecoveryAttempts) {
        QVariantMap entry{{u"state"_s, attempt.state}, {u"createdAt"_s, attempt.createdAt}};
        if (attempt.siteID)
            entry.insert(u"siteID"_s, *attempt.siteID);
        if (attempt.siteName)
            entry.insert(u"siteName"_s, *attempt.siteName);
        if (attempt.provider)
            entry.insert(u"provider"_s, *attempt.provider);
        list.append(entry);
    }
    return list;
}

QVariantMap PublishAccessStore::domainMap() const
{
    QVariantMap map;
    for (auto it = m_domains.cbegin(); it != m_domains.cend(); ++it)
        map.insert(it.key(), PublishDomain::toJsonArray(it.value()).toVariantList());
    return map;
}

QVariantMap PublishAccessStore::siteNameMap() const
{
    QVariantMap map;
    for (auto it = m_siteNames.cbegin(); it != m_siteNames.cend(); ++it)
        map.insert(it.key(), it.value());
    return map;
}

// --- Helpers ----------------------------------------------------------------------------------

void PublishAccessStore::setLastError(const std::optional<QString> &error)
{
    assign(m_lastError, error, &PublishAccessStore::lastErrorChanged);
}

void PublishAccessStore::record(const QString &area, const QString &message)
{
    m_errorLog.record(area, message, m_clock.now());
}
