// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include "foundation/ContinuousClock.h"
#include "model/CloudAuthSnapshot.h"
#include "model/PublishDomain.h"
#include "publishing/OAuthCancellationNotice.h"
#include "publishing/OAuthCancellationReceipts.h"
#include "publishing/OAuthConnectContext.h"
#include "publishing/OAuthRecoveryAttempt.h"

#include <QByteArray>
#include <QDateTime>
#include <QHash>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <QUuid>
#include <QVariantList>
#include <QVariantMap>

#include <QCoro/QCoroTask>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>

class BackendClient;
class Clock;
class ConnectingPillControl;
class ConsentBrowser;
class ErrorLog;
struct GrantRow;

/**
 * @brief The application's one model of publishing access: for each Webflow site, whether the
 * backend holds a usable grant that lets it publish the site, whether a revoked grant is still
 * being cleaned up, and whether an OAuth attempt went wrong and needs the user's help; with what
 * the grants say of each site (its publish domains and name), the last user-facing failure of a
 * publishing operation, the Webflow connect flow with its cancellation, and the durable receipts
 * of cancelled connects that the backend did not confirm.
 *
 * The application's owner makes it once and keeps it for the life of the process; its backend
 * client comes later, once the account has one. Every backend operation starts from an identity
 * snapshot (the bound user and the owner's auth generation, confirmed by the client's session) and
 * applies its result only while that snapshot is still current, so results that arrive for an
 * account that is no longer signed in are dropped. Lives on the main thread; every setter compares
 * before it notifies.
 *
 * A connect is named by an operation id of the caller's. Each keeps a context (what a backend
 * cancel of its attempt needs, and when it expires) until it ends or its cancellation settles;
 * at most one connect is the active one, and a flow that is no longer active stops at its next
 * step. A cancellation settles exactly once: confirmed by the backend, or not, which leaves a
 * receipt that outlives the process until the backend's record of the attempt settles it.
 */
class PublishAccessStore final : public QObject
{
    Q_OBJECT
    /// Sites whose grant is active or carries no status, sorted.
    Q_PROPERTY(QStringList connectedSiteIDs READ connectedSiteIDList NOTIFY connectedSiteIDsChanged)
    /// Sites whose grant is revoked but not yet cleaned up on the backend, sorted.
    Q_PROPERTY(QStringList pendingRevocationSiteIDs READ pendingRevocationSiteIDList NOTIFY pendingRevocationSiteIDsChanged)
    /// Sites whose grant awaits reconciliation, sorted.
    Q_PROPERTY(QStringList recoveryRequiredSiteIDs READ recoveryRequiredSiteIDList NOTIFY recoveryRequiredSiteIDsChanged)
    /// OAuth attempts waiting for recovery, oldest first, each a map with "state", "createdAt" and,
    /// when known, "siteID", "siteName" and "provider".
    Q_PROPERTY(QVariantList oauthRecoveryAttempts READ oauthRecoveryAttemptList NOTIFY oauthRecoveryAttemptsChanged)
    /// Site id → the site's publish targets, each a map with "id", "url" and "isStaging".
    Q_PROPERTY(QVariantMap domains READ domainMap NOTIFY domainsChanged)
    /// Site id → the site's name as the grants carry it.
    Q_PROPERTY(QVariantMap siteNames READ siteNameMap NOTIFY siteNamesChanged)
    /// Whether the last grant read succeeded.
    Q_PROPERTY(bool available READ available NOTIFY availableChanged)
    /// Whether a grant read is running.
    Q_PROPERTY(bool isChecking READ isChecking NOTIFY isCheckingChanged)
    /// Whether a grant read has succeeded since the store was made or last reset.
    Q_PROPERTY(bool hasLoadedOnce READ hasLoadedOnce NOTIFY hasLoadedOnceChanged)
    /// The user's sentence for the last failed publishing operation; empty when none.
    Q_PROPERTY(QString lastError READ lastErrorText NOTIFY lastErrorChanged)
    /// The user's sentence for why the cancellation receipts are read-only; empty when they are not.
    Q_PROPERTY(QString persistenceIssue READ persistenceIssueText NOTIFY persistenceIssueChanged)

public:
    /// Stands in for the whole grant read (tests): its answer is the refresh's.
    using GrantRefreshInvoker = std::function<QCoro::Task<bool>()>;
    /// Replaces the receipts file with the bytes; answers 0 or the errno of the failure.
    using ReceiptWriter = std::function<int(const QByteArray &bytes, const QString &path)>;

    /// Hears how the cancellation of a connect settled.
    using CancellationHandler = std::function<void(OAuthCancellationOutcome)>;

    /// What the owner hands in beyond the services; production passes none of it.
    struct Seams
    {
        GrantRefreshInvoker grantRefreshInvoker;
        /// CancellationReceiptFile::writeReceiptAtomically when empty.
        ReceiptWriter oauthReceiptWriter;
        /// The waits between inspections of a connect and until a connect expires;
        /// ContinuousClock::delay() when empty.
        ContinuousClock::Delay delay;
        /// Where consent links open; the default browser when null. Must outlive the store.
        ConsentBrowser *browser = nullptr;
    };

    /// How a disconnect ended.
    struct DisconnectOutcome
    {
        enum class Kind {
            Disconnected,        ///< the grant is gone
            AlreadyDisconnected, ///< there was no grant to remove
            RevocationPending,   ///< publishing is off, but revoking the credential is still pending
            Failed,              ///< refused, unconfirmed, or overtaken by an account change
        };

        Kind kind = Kind::Failed;
        QString message; ///< the user's sentence of RevocationPending and Failed; empty otherwise

        friend bool operator==(const DisconnectOutcome &, const DisconnectOutcome &) = default;
    };

    static inline const QString receiptFileName = QStringLiteral("oauth-cancellation-receipts.json");

    static inline const QString signInFirstSentence = QStringLiteral("Sign in first to disconnect publishing access.");
    static inline const QString accountChangedSentence =
        QStringLiteral("The signed-in account changed before disconnect completed.");
    static inline const QString unconfirmedSentence = QStringLiteral("Webflow did not confirm disconnect.");
    static inline const QString revocationPendingSentence =
        QStringLiteral("Publishing is disabled. Webflow revocation cleanup is still pending.");
    static inline const QString undeterminedSentence = QStringLiteral(
        "Couldn't confirm whether publishing access was disconnected. Review the current status and try again.");
    static inline const QString receiptSaveFailedSentence = QStringLiteral(
        "OAuth cancellation recovery could not be saved safely. Existing evidence was preserved and recovery "
        "receipts are read-only until the file is repaired.");
    static inline const QString receiptSaveFailedLogMessage =
        QStringLiteral("An unresolved OAuth cancellation notice could not be saved.");

    static inline const QString connectSignInFirstSentence =
        QStringLiteral("Sign in first: publishing access is stored against your account.");
    static inline const QString startFailedSentence =
        QStringLiteral("Couldn't start the Webflow connection. Try again in a moment.");
    static inline const QString unverifiedStartSentence = QStringLiteral(
        "Webflow returned an authorization response Quorvane could not verify. Nothing was opened.");
    static inline const QString linkRefusedSentence = QStringLiteral("Webflow returned a link that could not be opened.");
    static inline const QString browserRefusedSentence =
        QStringLiteral("The browser could not be opened for Webflow's consent screen.");
    static inline const QString rejectedSentence = QStringLiteral(
        "Webflow didn't complete the connection: the authorization was declined, reached the wrong site, or "
        "couldn't be saved. Nothing was granted.");
    static inline const QString recoveryRequiredSentence = QStringLiteral(
        "Webflow may have created a credential that Quorvane did not receive. Follow the connection recovery "
        "instructions in Quorvane before reconnecting.");
    static inline const QString reconciliationPendingSentence = QStringLiteral(
        "The credential was stored safely, but cleanup is still being confirmed. Try again after recovery finishes.");
    static inline const QString notCompletedSentence = QStringLiteral(
        "The Webflow connection wasn't completed. If you finished it in the browser, reopen the panel to check.");

    /// How long a connect lives: its context expires this long after it was made, and its
    /// attempt is inspected at most this long after the browser opened.
    static constexpr std::chrono::seconds connectLifetime{900};
    /// The wait before each inspection of an attempt, by the time since the browser opened.
    [[nodiscard]] static std::chrono::milliseconds inspectionInterval(std::chrono::milliseconds elapsed);

    /// Loads the receipts from `folder`/oauth-cancellation-receipts.json, making the folder first
    /// (a failure to make it shows in the load). `pill` is the application's connecting pill;
    /// `backendURL` the build's backend (none without one), where consent must come back to. The
    /// error log, the clock and the pill must outlive the store.
    PublishAccessStore(ErrorLog &errorLog, const Clock &clock, const QString &folder, ConnectingPillControl &pill,
                       std::optional<QUrl> backendURL, Seams seams, QObject *parent = nullptr);
    PublishAccessStore(ErrorLog &errorLog, const Clock &clock, const QString &folder, ConnectingPillControl &pill,
                       std::optional<QUrl> backendURL, QObject *parent = nullptr);
    ~PublishAccessStore() override;

    /// The backend client, handed over once the account has one and never taken back; it must
    /// outlive the store. Until then every backend operation returns its nothing-done result.
    void setClient(BackendClient *client) { m_client = client; }
    [[nodiscard]] BackendClient *client() const { return m_client; }

    // --- Identity -----------------------------------------------------------------------------

    /// Follows a change of signed-in user (none when signed out) and the owner's auth generation.
    /// The generation is always taken; the same user changes nothing else. Another user stops the
    /// active connect, drops every cancellation handler uncalled, hides the connecting pill and
    /// drops the grant state, the flags and the last error. Connect contexts, their cancellations
    /// and the receipts stay: they settle for the account that started them.
    void bindAccount(std::optional<QUuid> userID, qint64 authGeneration);
    [[nodiscard]] std::optional<QUuid> boundUserID() const { return m_boundUserID; }
    [[nodiscard]] qint64 authGeneration() const { return m_authGeneration; }

    /// The identity a backend operation starts from: the bound user and generation, when the
    /// client's session is that user's and neither moved during the session read.
    QCoro::Task<std::optional<CloudAuthSnapshot>> captureAuthSnapshot();
    /// Whether a result of the operation that took @p snapshot may still be applied: the store is
    /// bound as it was and the client's session is still that user's. A failed session read
    /// counts as a change.
    QCoro::Task<bool> isCurrentIdentity(CloudAuthSnapshot snapshot);

    // --- Grant state --------------------------------------------------------------------------

    [[nodiscard]] const QSet<QString> &connectedSiteIDs() const { return m_connectedSiteIDs; }
    [[nodiscard]] const QSet<QString> &pendingRevocationSiteIDs() const { return m_pendingRevocationSiteIDs; }
    [[nodiscard]] const QSet<QString> &recoveryRequiredSiteIDs() const { return m_recoveryRequiredSiteIDs; }
    [[nodiscard]] const QList<OAuthRecoveryAttempt> &oauthRecoveryAttempts() const { return m_oauthRecoveryAttempts; }
    [[nodiscard]] const QHash<QString, QList<PublishDomain>> &domains() const { return m_domains; }
    [[nodiscard]] const QHash<QString, QString> &siteNames() const { return m_siteNames; }
    [[nodiscard]] bool available() const { return m_available; }
    [[nodiscard]] bool isChecking() const { return m_isChecking; }
    [[nodiscard]] bool hasLoadedOnce() const { return m_hasLoadedOnce; }
    [[nodiscard]] const std::optional<QString> &lastError() const { return m_lastError; }
    [[nodiscard]] const std::optional<QString> &persistenceIssue() const { return m_persistenceIssue; }

    /// Whether the site can be published: the last read succeeded, and the site is connected and
    /// not waiting for reconciliation. A pending revocation is not consulted.
    [[nodiscard]] bool hasPublishingAccess(const std::optional<QString> &siteID) const;
    /// Whether the grant state is known: read successfully, and no read running.
    [[nodiscard]] bool isSettled() const;
    /// Every site with a publishing state of any kind.
    [[nodiscard]] QSet<QString> trackedSiteIDs() const;
    /// Who holds a credential the user must remove in Webflow's Apps & Integrations, named from
    /// the providers of the recovery attempts.
    [[nodiscard]] QString recoveryProviderLabel() const;

    /// Reads every grant and every attempt waiting for recovery, and publishes them when both
    /// reads succeed and the identity is still current. True when fresh state was published. A
    /// failed read keeps the previous state and clears `available` (unless it was cancelled).
    /// Never sets a sentence and logs nothing.
    QCoro::Task<bool> refresh();

    // --- Operations ---------------------------------------------------------------------------

    /// Asks the backend to remove the site's grant and revoke it at Webflow, then settles from
    /// the reply, or from a fresh grant read, which of the four outcomes happened.
    QCoro::Task<DisconnectOutcome> disconnect(QString siteID);
    /// Tells the backend, attempt by attempt, that the user removed the stray authorization
    /// behind each attempt waiting for recovery; stops at the first that is not acknowledged.
    /// True when every attempt was acknowledged and the refresh after them succeeded.
    QCoro::Task<bool> acknowledgeRecoveryAttempts();
    /// When the site was last changed in Webflow; none when it cannot be told.
    QCoro::Task<std::optional<QDateTime>> fetchSiteLastUpdated(QString siteID);

    // --- Connect ------------------------------------------------------------------------------

    /// Gives the backend a Webflow grant for the site: starts an attempt, checks its consent link,
    /// shows the connecting pill with `label`, opens the link and inspects the attempt until it is
    /// granted, refused, needs recovery or runs out of time. The connected site (the one the grant
    /// landed on, else `siteID`) on success; none otherwise, with `lastError` set when the attempt
    /// ended with a sentence of its own, and unset when it was cancelled, superseded by a newer
    /// connect, overtaken by an account change or expired. Takes the active slot at once.
    QCoro::Task<std::optional<QString>> connect(std::optional<QString> siteID, std::optional<QString> siteName,
                                                QString label, QUuid operationID);
    /// Cancels the connect: it stops following the attempt, hides the pill, and cancels the
    /// attempt at the backend as soon as its start reply is known. True when that is started or
    /// already on its way; false, changing nothing, when the operation has no context. `handler`,
    /// when given, replaces any earlier one of the operation and hears the outcome once.
    bool cancelConnect(const QUuid &operationID, CancellationHandler handler = {});
    /// Cancels every unfinished connect, after retiring the expired ones, and hides the pill.
    /// Does not wait for any cancellation to settle.
    void cancelAllConnects();

    [[nodiscard]] const std::optional<QUuid> &activeConnectOperationID() const { return m_activeConnectOperationID; }
    [[nodiscard]] const QHash<QUuid, OAuthConnectContext> &connectContexts() const { return m_connectContexts; }
    [[nodiscard]] const QSet<QUuid> &cancelledConnectOperationIDs() const { return m_cancelledConnectOperationIDs; }
    /// How each cancellation settled during this run, by operation; an entry leaves when its
    /// receipt is resolved.
    [[nodiscard]] const QHash<QUuid, OAuthCancellationOutcome> &oauthCancellationReceipts() const
    {
        return m_oauthCancellationReceipts;
    }

    // --- Reconciliation -----------------------------------------------------------------------

    /// Reads the backend's record of the owner's unconfirmed cancellations (`oauth_states`) while
    /// the owner is signed in: each attempt that ended without a grant loses its receipt, and
    /// the first that may have left a grant becomes the pass's notice. At most one notice per
    /// pass; its receipt stays until resolved. A receipt the backend has no record of yet waits
    /// for a later pass. Any failure gives no notice and changes nothing.
    QCoro::Task<std::optional<OAuthCancellationNotice>> reconcileCancellationReceipts(QUuid ownerID);
    /// Whether the owner has receipts left.
    [[nodiscard]] bool hasUnresolvedCancellations(const QUuid &ownerID) const;
    /// Removes the owner's receipt once the user has dealt with its notice; false when it is not
    /// the owner's or could not be removed from the file.
    bool resolveCancellationReceipt(const QUuid &ownerID, const QUuid &operationID);

    // --- Cancellation receipts ----------------------------------------------------------------

    /// Every account's receipts, by operation id.
    [[nodiscard]] const OAuthCancellationReceiptMap &unresolvedOAuthCancellations() const { return m_unresolved; }
    /// Whether the receipts file may be written; once false it stays so until the process ends.
    [[nodiscard]] bool oauthReceiptPersistenceWritable() const { return m_oauthReceiptPersistenceWritable; }
    /// A local file path: the receipts never live anywhere but beside the other stores.
    [[nodiscard]] const QString &oauthReceiptURL() const { return m_oauthReceiptURL; }
    /// Writes exactly these receipts to the file. False at once while read-only; the first failed
    /// save turns the receipts read-only with its sentence and one log line.
    bool persistCancellationReceipts(const OAuthCancellationReceiptMap &receipts);

    // --- Property forms ------------------------------------------------------------------------

    [[nodiscard]] QStringList connectedSiteIDList() const;
    [[nodiscard]] QStringList pendingRevocationSiteIDList() const;
    [[nodiscard]] QStringList recoveryRequiredSiteIDList() const;
    [[nodiscard]] QVariantList oauthRecoveryAttemptList() const;
    [[nodiscard]] QVariantMap domainMap() const;
    [[nodiscard]] QVariantMap siteNameMap() const;
    [[nodiscard]] QString lastErrorText() const { return m_lastError.value_or(QString()); }
    [[nodiscard]] QString persistenceIssueText() const { return m_persistenceIssue.value_or(QString()); }

signals:
    void connectedSiteIDsChanged();
    void pendingRevocationSiteIDsChanged();
    void recoveryRequiredSiteIDsChanged();
    void oauthRecoveryAttemptsChanged();
    void domainsChanged();
    void siteNamesChanged();
    void availableChanged();
    void isCheckingChanged();
    void hasLoadedOnceChanged();
    void lastErrorChanged();
    void persistenceIssueChanged();
    void oauthCancellationReceiptsChanged();
    /// A cancellation settled unconfirmed and left a receipt of @p ownerID's (also when the
    /// receipt could only be kept in memory).
    void unresolvedCancellationRecorded(const QUuid &ownerID);

private:
    /// Stores @p value; notifies through @p changed only when it differs from the stored one.
    template<typename T>
    void assign(T &field, const T &value, void (PublishAccessStore::*changed)());
    /// Reads the grants afresh for an operation that began under @p snapshot: whether the read
    /// succeeded, or none when the identity changed meanwhile and the operation must stop.
    QCoro::Task<std::optional<bool>> refreshUnder(CloudAuthSnapshot snapshot);
    void publishGrants(const QList<GrantRow> &grants, const QList<OAuthRecoveryAttempt> &attempts);
    void setLastError(const std::optional<QString> &error);
    void record(const QString &area, const QString &message);

    // The connect flow and its bookkeeping.
    QCoro::Task<std::optional<QString>> followConnect(std::optional<QString> siteID, std::optional<QString> siteName,
                                                      QString label, QUuid operationID);
    /// Whether the operation is still the active connect.
    [[nodiscard]] bool isCurrentConnect(const QUuid &operationID) const;
    /// Whether the connect may go on: its identity still current, and it still the active one.
    QCoro::Task<bool> connectStillWanted(QUuid operationID, CloudAuthSnapshot snapshot);
    void endConnect(const QUuid &operationID);
    void dismissPillUnlessConnected(const QUuid &operationID, bool pillMarked);
    /// Settles a cancelled operation whose start brought nothing to cancel with; false when the
    /// operation is not a cancelled one of that run.
    bool settleUnusableStart(const QUuid &operationID, const QUuid &runID);

    // Contexts and cancellation.
    void recordStart(const OAuthCancelCommand &command, const CloudAuthSnapshot &auth, const QDateTime &expiresAt);
    void scheduleContextExpiry(const QUuid &operationID, const QUuid &runID, const QDateTime &expiresAt);
    static QCoro::Task<> expireContext(QPointer<PublishAccessStore> store, ContinuousClock::Delay delay,
                                       std::chrono::milliseconds wait, QUuid operationID, QUuid runID, quint64 task);
    void discardConnect(const QUuid &operationID);
    void settleExpiredContexts(const QDateTime &now);
    void beginPendingCancel(const QUuid &operationID);
    static QCoro::Task<> sendCancel(QPointer<PublishAccessStore> store, OAuthCancelCommand command, QUuid runID);
    /// Whether a delayed settlement of @p runID may still settle the operation.
    [[nodiscard]] bool isSettleable(const QUuid &operationID, const QUuid &runID) const;
    void finishCancelledConnect(OAuthCancellationOutcome outcome, const QUuid &operationID, const QUuid &runID);
    void recordUnresolvedCancellation(const QUuid &ownerID, const QUuid &operationID);
    bool removeUnresolvedCancellation(const QUuid &ownerID, const QUuid &operationID);

    ErrorLog &m_errorLog;
    const Clock &m_clock;
    ConnectingPillControl &m_pill;
    std::optional<QUrl> m_backendURL;
    GrantRefreshInvoker m_grantRefreshInvoker;
    ReceiptWriter m_oauthReceiptWriter;
    ContinuousClock::Delay m_delay;
    std::unique_ptr<ConsentBrowser> m_ownBrowser;
    ConsentBrowser *m_browser;
    QString m_oauthReceiptURL;
    BackendClient *m_client = nullptr;

    std::optional<QUuid> m_boundUserID;
    qint64 m_authGeneration = 0;

    QSet<QString> m_connectedSiteIDs;
    QSet<QString> m_pendingRevocationSiteIDs;
    QSet<QString> m_recoveryRequiredSiteIDs;
    QList<OAuthRecoveryAttempt> m_oauthRecoveryAttempts;
    QHash<QString, QList<PublishDomain>> m_domains;
    QHash<QString, QString> m_siteNames;
    bool m_available = false;
    bool m_isChecking = false;
    bool m_hasLoadedOnce = false;
    std::optional<QString> m_lastError;

    std::optional<QString> m_persistenceIssue;
    bool m_oauthReceiptPersistenceWritable = true;
    OAuthCancellationReceiptMap m_unresolved;
    QHash<QUuid, OAuthCancellationOutcome> m_oauthCancellationReceipts;

    std::optional<QUuid> m_activeConnectOperationID;
    QSet<QUuid> m_cancelledConnectOperationIDs;
    QHash<QUuid, OAuthConnectContext> m_connectContexts;
    QHash<QUuid, CancellationHandler> m_cancellationHandlers;
    /// The pending expiry of each context, by the number of its task: a task whose number is no
    /// longer here was cancelled and does nothing when its wait ends.
    QHash<QUuid, quint64> m_contextExpiryTasks;
    quint64 m_expiryTaskCount = 0;
};

template<typename T>
void PublishAccessStore::assign(T &field, const T &value, void (PublishAccessStore::*changed)())
{
    const bool differs = !(field == value);
    field = value;
    if (differs)
        emit(this->*changed)();
}
