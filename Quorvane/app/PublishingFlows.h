// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include "app/CloudSide.h"
#include "publishing/OAuthConnectContext.h"

#include <QCoro/QCoroTask>
#include <QObject>
#include <QSet>
#include <QString>
#include <QUuid>

#include <functional>
#include <memory>
#include <optional>

class AppModel;
struct ConfirmRequest;

/**
 * @brief Connecting publishing access for a project's site through the browser consent,
 * disconnecting it, resetting an uncertain Webflow authorization and reviewing a cancelled connect;
 * and the error report, which names the signed-in account's address.
 *
 * At most one connect runs at a time: a new one cancels the running one. Every connect is named by
 * an operation id and carries the cloud identity it started under; a result is written only while
 * both are still current, so a connect that was superseded, cancelled or overtaken by an account
 * change writes nothing, not even into its own activity sheet.
 */
class PublishingFlows final : public QObject
{
    Q_OBJECT
    /// A publishing connect is running.
    Q_PROPERTY(bool isConnecting READ isConnecting NOTIFY publishConnectChanged)
    /// The running connect's operation; a null id when none runs.
    Q_PROPERTY(QUuid publishConnectOperationID READ operationIdValue NOTIFY publishConnectChanged)
    /// A connect has run, so the activity overlay can retry it.
    Q_PROPERTY(bool canRetryConnect READ canRetryConnect NOTIFY publishConnectParamsChanged)

public:
    using AppCloudAuthSnapshot = CloudSide::AppCloudAuthSnapshot;
    /// Stands for the running connect task: a cancelled one writes nothing more.
    using ConnectTask = CloudSide::TaskHandle;

    /// What to connect, as the project card or the schedule screen describe it.
    struct PublishConnectParams
    {
        /// Without it the checks of existing access are skipped.
        std::optional<QString> siteID;
        /// Passed to the backend; the recorded name when the grants name none.
        std::optional<QString> siteName;
        /// What the user calls the target; shown in titles and log lines.
        QString label;
        /// The project whose site follows the connected one.
        std::optional<QString> mcpName;
        /// Runs once after a connect that succeeded while still current.
        std::function<void()> onConnected;
    };

    static inline const QString connectNote = QStringLiteral(
        "A browser window will open on Webflow's MCP consent screen. Pick the client's workspace and select only "
        "this site. If Webflow asks which tools to allow, choose Sites.");
    static inline const QString connectNotCompletedSentence = QStringLiteral("The Webflow connection wasn't completed.");
    static inline const QString signInAgainReason = QStringLiteral(
        "Quorvane remembers your account, but this computer no longer has a sign-in session. Sign in again to connect "
        "publishing.");
    static inline const QString signInReason =
        QStringLiteral("Publishing access belongs to a signed-in Quorvane account. Sign in to connect publishing.");
    static inline const QString cancelledReview =
        QStringLiteral("Webflow confirmed that authorization was cancelled before token exchange.");
    static inline const QString needsReviewMessage = QStringLiteral(
        "Quorvane could not confirm who owns the authorization outcome. Refresh publishing access before trying "
        "again.");
    static inline const QString revocationPendingIssue =
        QStringLiteral("Publishing is disabled while revocation cleanup is pending. ");
    static inline const QString disconnectFailedIssue = QStringLiteral("Couldn't confirm publishing disconnect. ");

    explicit PublishingFlows(AppModel &model, QObject *parent = nullptr);

    // --- Connect ---------------------------------------------------------------------------------

    /// Makes sure this machine has a live cloud session for the account, then starts the connect
    /// and returns; the connect runs on by itself. `preconfirmed` skips the re-authorization
    /// question.
    QCoro::Task<> connectPublishing(PublishConnectParams params, bool preconfirmed);
    /// The views' way to start a connect; empty texts stand for none.
    Q_INVOKABLE void startConnect(const QString &siteID, const QString &siteName, const QString &label,
                                  const QString &mcpName);
    /// The activity overlay's retry of a publishing sheet: the latest connect again.
    Q_INVOKABLE void retryPublishingConnect();

    [[nodiscard]] const std::optional<QUuid> &publishConnectOperationID() const { return m_operationID; }
    [[nodiscard]] const std::optional<AppCloudAuthSnapshot> &publishConnectAuth() const { return m_auth; }
    [[nodiscard]] const QSet<QUuid> &publishCancellationOperationIDs() const { return m_cancellationIDs; }
    /// Kept after the connect ends, for the retry and the reset.
    [[nodiscard]] const std::optional<PublishConnectParams> &publishConnectParams() const { return m_params; }

    /// Forgets the connect that belonged to the previous signed-in user: its task, operation and
    /// identity, and the cancellations awaiting review.
    void tearDownConnect();
    /// Stops the connect behind a cancelled publishing sheet.
    void cancelConnectFor(const QUuid &activityId);
    /// Cancels the connect operation at the store; how the cancellation settled is reviewed into
    /// the connect's own sheet, or told in a notice.
    void cancelPublishConnectOperation(const QUuid &operationID, const std::optional<QUuid> &activityId);

    // --- Disconnect ------------------------------------------------------------------------------

    /// Asks the backend to revoke the site's grant and lands the outcome on the project that uses
    /// the site (found by `mcpName`, else by its site) or, without one, in a notice.
    QCoro::Task<> disconnectPublishing(QString siteID, std::optional<QString> mcpName);
    /// The views' way to start a disconnect; an empty `mcpName` stands for none.
    Q_INVOKABLE void startDisconnect(const QString &siteID, const QString &mcpName);
    /// True, with a notice offering to retry the cleanup, while the site's revoked grant is still
    /// being cleaned up: the caller must not connect. An empty `siteID` or `mcpName` stands for none.
    Q_INVOKABLE bool refuseWhileRevocationPending(const QString &siteID, const QString &name, const QString &mcpName);

    // --- Reset and review ------------------------------------------------------------------------

    /// The banner's review: offers the reset while OAuth attempts wait for recovery.
    Q_INVOKABLE void offerWebflowConnectionReset();
    /// Asks the user to remove the stray Webflow authorization by hand; confirming records that
    /// and reconnects with `params`.
    void resetWebflowConnection(std::optional<PublishConnectParams> params);
    QCoro::Task<> completeWebflowConnectionReset(std::optional<PublishConnectParams> params);
    /// Turns how a cancelled connect's cancellation settled into a line in the sheet that connect
    /// opened, or into a notice.
    void reviewPublishConnectCancellation(OAuthCancellationOutcome outcome, const QUuid &operationID,
                                          const AppCloudAuthSnapshot &snapshot, const std::optional<QUuid> &activityId);

    // --- Error report ----------------------------------------------------------------------------

    /// Sends an error report with the account's address, and with `logTail` when given.
    void sendErrorReport(std::optional<QString> logTail);
    /// The panel's report entries.
    Q_INVOKABLE void sendErrorReport() { sendErrorReport(std::nullopt); }
    /// The activity overlay's report, with the shown sheet's log.
    Q_INVOKABLE void sendErrorReportWithLog(const QString &log) { sendErrorReport(std::optional<QString>(log)); }

signals:
    void publishConnectChanged();
    void publishConnectParamsChanged();

private:
    [[nodiscard]] bool isConnecting() const { return m_operationID.has_value(); }
    [[nodiscard]] QUuid operationIdValue() const { return m_operationID.value_or(QUuid()); }
    [[nodiscard]] bool canRetryConnect() const { return m_params.has_value(); }

    QCoro::Task<> runPublishConnect(QUuid operationID, AppCloudAuthSnapshot snapshot, PublishConnectParams params,
                                    bool preconfirmed, std::shared_ptr<ConnectTask> task);
    QCoro::Task<> performPublishConnect(PublishConnectParams params, AppCloudAuthSnapshot snapshot, QUuid operationID,
                                        std::shared_ptr<ConnectTask> task);
    [[nodiscard]] bool isCurrentPublishConnect(const QUuid &operationID, const AppCloudAuthSnapshot &snapshot,
                                               const ConnectTask &task) const;
    void finishPublishConnect(const QUuid &operationID);
    void cancelConnectTask();
    void setOperation(const std::optional<QUuid> &operationID, const std::optional<AppCloudAuthSnapshot> &auth);
    /// An action that starts the connect again, once, while the flows still exist.
    [[nodiscard]] std::function<void()> connectAgain(const PublishConnectParams &params, bool preconfirmed);
    [[nodiscard]] bool isCurrentCloudAuth(const AppCloudAuthSnapshot &snapshot) const;
    [[nodiscard]] std::optional<AppCloudAuthSnapshot> currentCloudAuth() const;

    AppModel &m_model;
    std::shared_ptr<ConnectTask> m_publishConnectTask;
    std::optional<QUuid> m_operationID;
    std::optional<AppCloudAuthSnapshot> m_auth;
    /// The sheet the current operation opened: a review of its cancellation writes only there.
    std::optional<QUuid> m_connectSheet;
    QSet<QUuid> m_cancellationIDs;
    std::optional<PublishConnectParams> m_params;
};
