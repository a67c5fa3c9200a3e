// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include "model/CloudAuthSnapshot.h"
#include "model/PublishDomain.h"
#include "publishing/OAuthCancellationReceipts.h"
#include "publishing/OAuthRecoveryAttempt.h"

#include <QByteArray>
#include <QDateTime>
#include <QHash>
#include <QList>
#include <QObject>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QUuid>
#include <QVariantList>
#include <QVariantMap>

#include <QCoro/QCoroTask>

#include <functional>
#include <optional>

class BackendClient;
class Clock;
class ErrorLog;
struct GrantRow;

/**
 * @brief The application's one model of publishing access: for each Webflow site, whether the
 * backend holds a usable grant that lets it publish the site, whether a revoked grant is still
 * being cleaned up, and whether an OAuth attempt went wrong and needs the user's help; with what
 * the grants say of each site (its publish domains and name), the last user-facing failure of a
 * publishing operation and the durable receipts of cancelled connects.
 *
 * The application's owner makes it once and keeps it for the life of the process; its backend
 * client comes later, once the account has one. Every backend operation starts from an identity
 * snapshot (the bound user and the owner's auth generation, confirmed by the client's session) and
 * applies its result only while that snapshot is still current, so results that arrive for an
 * account that is no longer signed in are dropped. Lives on the main thread; every setter compares
 * before it notifies.
 */
class PublishAccessStore : public QObject
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

    /// What the owner hands in beyond the services; production passes none of it.
    struct Seams
    {
        GrantRefreshInvoker grantRefreshInvoker;
        /// CancellationReceiptFile::writeAtomically when empty.
        ReceiptWriter receiptWriter;
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

    /// Loads the receipts from `folder`/oauth-cancellation-receipts.json, making the folder first
    /// (a failure to make it shows in the load). `dismissConnectingPill` hides the application's
    /// connecting pill. The error log and the clock must outlive the store.
    PublishAccessStore(ErrorLog &errorLog, const Clock &clock, const QString &folder,
                       std::function<void()> dismissConnectingPill, Seams seams = {}, QObject *parent = nullptr);

    /// The backend client, handed over once the account has one and never taken back; it must
    /// outlive the store. Until then every backend operation returns its nothing-done result.
    void setClient(BackendClient *client) { m_client = client; }
    [[nodiscard]] BackendClient *client() const { return m_client; }

    // --- Identity -----------------------------------------------------------------------------

    /// Follows a change of signed-in user (none when signed out) and the owner's auth generation.
    /// The generation is always taken; the same user changes nothing else. Another user drops the
    /// grant state, the flags and the last error, and hides the connecting pill. The receipts
    /// stay: they belong to every account.
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

    // --- Cancellation receipts ----------------------------------------------------------------

    /// Every account's receipts, by operation id.
    [[nodiscard]] const OAuthCancellationReceiptMap &unresolvedOAuthCancellations() const { return m_unresolved; }
    /// Whether the receipts file may be written; once false it stays so until the process ends.
    [[nodiscard]] bool receiptsWritable() const { return m_receiptsWritable; }
    [[nodiscard]] const QString &receiptPath() const { return m_receiptPath; }
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

    ErrorLog &m_errorLog;
    const Clock &m_clock;
    std::function<void()> m_dismissConnectingPill;
    GrantRefreshInvoker m_grantRefreshInvoker;
    ReceiptWriter m_receiptWriter;
    QString m_receiptPath;
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
    bool m_receiptsWritable = true;
    OAuthCancellationReceiptMap m_unresolved;
};
