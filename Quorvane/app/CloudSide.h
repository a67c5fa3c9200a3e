// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include "model/SignInRequest.h"
#include "publishing/OAuthCancellationNotice.h"
#include "scheduling/NotificationRouter.h"
#include "scheduling/NotificationTargetQueue.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QUuid>

#include <QCoro/QCoroTask>

#include <functional>
#include <memory>
#include <optional>

class AppModel;
class BackendClient;
class UserNotifications;

/**
 * @brief The application's one notion of who is signed in to the backend, what follows each change
 * of user, the cloud refreshes, notification taps, OAuth-cancellation notices and sign-in requests.
 *
 * Every identity, new or confirmed, passes through applyCloudAuthChange: a change of user tears
 * down what belonged to the previous one and raises the generation; every application re-binds the
 * per-user stores, routes the taps that waited for it and restarts the cloud refresh. Cloud flows
 * capture an AppCloudAuthSnapshot before they wait and drop their result when it no longer holds.
 * Everything runs on the GUI thread; no step between two waits sees an identity half applied.
 */
class CloudSide final : public QObject
{
    Q_OBJECT
    /// The pending request to sign in to the backend account; an invalid id when none.
    Q_PROPERTY(SignInRequest signIn READ signInValue NOTIFY signInChanged)
    Q_PROPERTY(bool hasSignIn READ hasSignIn NOTIFY signInChanged)
    /// Rises at every request to show the Scheduled Publishing tab; the panel reacts to each change.
    Q_PROPERTY(qint64 scheduleFocusRequest READ scheduleFocusRequest NOTIFY scheduleFocusRequestChanged)
    /// The publish event the history should focus; a null id when only the tab is to be shown.
    Q_PROPERTY(QUuid scheduleFocusEventID READ scheduleFocusEventIDValue NOTIFY scheduleFocusEventIDChanged)

public:
    /// Who a cloud flow started for: it drops its result when this is no longer current.
    struct AppCloudAuthSnapshot
    {
        QUuid userID;
        qint64 generation = 0;
        friend bool operator==(const AppCloudAuthSnapshot &, const AppCloudAuthSnapshot &) = default;
    };

    /**
     * A running task the model keeps so that it can cancel it. The stores take no cancellation,
     * so a cancelled task lets the reads it waits on finish and then applies nothing more.
     */
    struct TaskHandle
    {
        bool cancelled = false;
        /// The task has run to its end, cancelled or not.
        bool finished = false;

        /// Cancels the task in `slot`, if any, and puts a new one there.
        static std::shared_ptr<TaskHandle> replace(std::shared_ptr<TaskHandle> &slot)
        {
            if (slot)
                slot->cancelled = true;
            slot = std::make_shared<TaskHandle>();
            return slot;
        }
    };

    /// How long a sign-in request may wait for a session that turns up on its own.
    static constexpr qint64 signInFreshSeconds = 600;

    /// The notice shown when a sign-out could not reach the server.
    static inline const QString signedOutLocallyTitle = QStringLiteral("Signed out on this computer only");
    static inline const QString signedOutLocallyMessage = QStringLiteral(
        "The server couldn't be reached, so the session wasn't revoked there. If this is a shared machine, sign in "
        "and out again once you're back online.");

    /// `panelActivator` brings the panel up without ever closing it; empty: nothing to bring up.
    CloudSide(AppModel &model, std::function<void()> panelActivator, QObject *parent = nullptr);

    // --- Identity ------------------------------------------------------------------------------

    /// The signed-in user as the cloud side knows it, with the generation of that knowledge;
    /// none while signed out or before anything was applied.
    [[nodiscard]] std::optional<AppCloudAuthSnapshot> currentCloudAuth() const;
    [[nodiscard]] bool isCurrentCloudAuth(const AppCloudAuthSnapshot &snapshot) const;
    /// Applies a user (or none) as the signed-in identity.
    void applyCloudAuthChange(const std::optional<QUuid> &userID);
    /// 0 until the first identity is applied; rises by one at that and at every change of user.
    [[nodiscard]] qint64 cloudAuthGeneration() const { return m_cloudAuthGeneration; }
    [[nodiscard]] const std::optional<QUuid> &cloudAuthUserID() const { return m_cloudAuthUserID; }

    /// Starts the cloud bootstrap unless one is running.
    Q_INVOKABLE void startCloudBootstrap();
    /**
     * Hands the account's client to the schedule and publishing stores, follows its
     * authentication changes, and applies the session it holds now. Without a client nothing
     * happens; a session that cannot be checked (offline) changes nothing.
     */
    QCoro::Task<> cloudBootstrap();
    /// Follows the client's session changes for the life of the model; later calls do nothing.
    void startCloudAuthWatch(BackendClient &client);

    // --- Cloud refresh -------------------------------------------------------------------------

    /// Reads the queue, the grants, the history and the publish events of `userID` side by side;
    /// the newest start replaces the one before.
    void startCloudRefresh(const QUuid &userID, qint64 generation);
    /// The refresh itself: after the four reads, and while the identity is unchanged and `task`
    /// (when given) is not cancelled, copies the sites' publishing state into the site directory
    /// and settles the cancellation receipts.
    QCoro::Task<> refreshCloudState(QUuid userID, qint64 generation, std::shared_ptr<TaskHandle> task = {});
    /// The latest cloud refresh; none before the first.
    [[nodiscard]] std::shared_ptr<const TaskHandle> cloudRefreshTask() const { return m_cloudRefreshTask; }
    /// The publishing store kept an unresolved cancellation of `ownerID`: reads the grants again
    /// and settles the receipts, when that owner is the one signed in.
    void handleCancellationReceipt(const QUuid &ownerID);
    /// The latest refresh a cancellation receipt started; none before the first.
    [[nodiscard]] std::shared_ptr<const TaskHandle> oauthCancellationRefreshTask() const
    {
        return m_oauthCancellationRefreshTask;
    }

    // --- Notification taps ---------------------------------------------------------------------

    /// Takes the taps on the notifications `notifications` shows.
    void listenForTaps(UserNotifications &notifications);
    /// A tapped outcome notification: shown for the signed-in account, held while nobody is known
    /// to be signed in (and the identity looked up), ignored with a log line otherwise.
    void handleNotificationTap(const NotificationRouter::Target &target);
    /// Asks the panel to show the Scheduled Publishing tab, bringing it up when it is closed, and
    /// brings the application forward either way.
    void requestScheduleFocus();
    /// For a panel made after the model: how it is brought up (never closed).
    void setPanelActivator(std::function<void()> activator) { m_panelActivator = std::move(activator); }
    /// How the application comes forward, its panel raised and given the focus, even when the
    /// panel is already open; empty: nothing to bring forward.
    void setApplicationActivator(std::function<void()> activator) { m_applicationActivator = std::move(activator); }
    [[nodiscard]] const NotificationTargetQueue &notificationTargets() const { return m_notificationTargets; }
    [[nodiscard]] qint64 scheduleFocusRequest() const { return m_scheduleFocusRequest; }
    [[nodiscard]] const std::optional<QUuid> &scheduleFocusEventID() const { return m_scheduleFocusEventID; }
    /// Leaving the publish history: the event it focused is spent.
    Q_INVOKABLE void clearScheduleFocusEvent() { setScheduleFocusEventID(std::nullopt); }

    // --- OAuth-cancellation notices ------------------------------------------------------------

    /// What a reconciliation of `ownerID`'s receipts found: a notice is presented; none closes
    /// the owner's notice once no receipt of theirs is left open.
    void settleOAuthCancellationNotice(const QUuid &ownerID, const std::optional<OAuthCancellationNotice> &notice);
    /// Shows the notice to its owner, or holds it while a connect, a sheet or a question is up.
    void presentOAuthCancellationNotice(const OAuthCancellationNotice &notice);
    /// Shows the held notice, if any; called wherever an obstacle ends (a closed sheet, a
    /// dismissed question, the end of a publishing connect).
    void presentQueuedOAuthCancellationNotice();
    /// The notice's "Review Publishing Access": reads the grants and receipts again, and resolves
    /// the receipt when the backend still reports what the user has just reviewed.
    void reviewOAuthCancellationNotice(const OAuthCancellationNotice &notice);
    [[nodiscard]] const std::optional<OAuthCancellationNotice> &queuedOAuthCancellationNotice() const
    {
        return m_queuedNotice;
    }
    [[nodiscard]] const std::optional<OAuthCancellationNotice> &displayedOAuthCancellationNotice() const
    {
        return m_displayedNotice;
    }

    // --- Sign-in and sign-out ------------------------------------------------------------------

    /// Asks the user to sign in; `onSuccess` runs once signed in while the request is fresh.
    void requestSignIn(const QString &reason, std::function<void()> onSuccess);
    /// requestSignIn() for the views: after the sign-in, the cloud bootstrap when `thenBootstrap`.
    Q_INVOKABLE void requestAccountSignIn(const QString &reason, bool thenBootstrap);
    [[nodiscard]] const std::optional<SignInRequest> &signIn() const { return m_signIn; }
    /// The sign-in sheet succeeded for the request with `requestID`: its continuation runs
    /// whatever its age; for a replaced request the pending one is completed instead.
    Q_INVOKABLE void finishSignIn(const QUuid &requestID);
    /// Runs the pending request's continuation once the account is signed in, if it is fresh.
    Q_INVOKABLE void completePendingSignIn();
    /// The sheet's Cancel: the request goes without its continuation.
    Q_INVOKABLE void dismissSignIn();
    /// Signs out; a server that could not be reached leaves a notice.
    QCoro::Task<> signOut();
    /// signOut() for the panel, which cannot wait.
    Q_INVOKABLE void startSignOut();

signals:
    void signInChanged();
    void scheduleFocusRequestChanged();
    void scheduleFocusEventIDChanged();

private:
    [[nodiscard]] SignInRequest signInValue() const;
    [[nodiscard]] bool hasSignIn() const { return m_signIn.has_value(); }
    [[nodiscard]] QUuid scheduleFocusEventIDValue() const { return m_scheduleFocusEventID.value_or(QUuid()); }
    void setSignIn(std::optional<SignInRequest> request);
    void setScheduleFocusEventID(const std::optional<QUuid> &eventID);
    /// Whether `userID` and `generation` are still the applied identity.
    [[nodiscard]] bool isCurrent(const QUuid &userID, qint64 generation) const;
    /// Copies the publishing store's connected sites into the site directory.
    void syncPublishingFlags();
    /// Tears down what belonged to the identity being replaced.
    void tearDownPreviousIdentity();
    void closeDisplayedNotice();
    /// The question was taken down (either button, or withdrawn): the notice it showed is gone.
    void followConfirm();
    QCoro::Task<> refreshAfterReceipt(QUuid ownerID, qint64 generation, std::shared_ptr<TaskHandle> task);
    QCoro::Task<> review(OAuthCancellationNotice notice);

    AppModel &m_model;
    std::function<void()> m_panelActivator;
    std::function<void()> m_applicationActivator;
    qint64 m_cloudAuthGeneration = 0;
    std::optional<QUuid> m_cloudAuthUserID;
    /// The bootstrap that startCloudBootstrap started, while it runs.
    std::shared_ptr<TaskHandle> m_cloudBootstrapTask;
    /// Set once and never cleared: a second watch is never started.
    QMetaObject::Connection m_cloudAuthWatch;
    std::shared_ptr<TaskHandle> m_cloudRefreshTask;
    std::shared_ptr<TaskHandle> m_oauthCancellationRefreshTask;

    NotificationTargetQueue m_notificationTargets;
    std::optional<NotificationRouter> m_notificationRouter;
    qint64 m_scheduleFocusRequest = 0;
    std::optional<QUuid> m_scheduleFocusEventID;
    /// The panel was asked to come up and has not said it is open yet: a second request in the
    /// same turn must not call the activator again.
    bool m_panelActivationPending = false;

    std::optional<OAuthCancellationNotice> m_queuedNotice;
    std::optional<OAuthCancellationNotice> m_displayedNotice;
    /// The confirm request that shows m_displayedNotice.
    QUuid m_displayedNoticeRequest;
    /// closeDisplayedNotice is taking the notice down itself.
    bool m_closingNotice = false;
    /// A change of user is tearing down what belonged to the previous one.
    bool m_tearingDown = false;

    std::optional<SignInRequest> m_signIn;
};
