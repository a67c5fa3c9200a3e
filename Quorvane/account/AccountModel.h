// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include "account/AccountCache.h"
#include "account/AccountProfile.h"
#include "account/BackendConfiguration.h"
#include "backend/BackendClient.h"
#include "foundation/ContinuousClock.h"

#include <QDateTime>
#include <QObject>
#include <QString>
#include <QUuid>

#include <QCoro/QCoroTask>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>

class BackendError;
class Clock;
class ErrorLog;
class SessionStorage;

/**
 * @brief The user's account on the hosted backend, for the life of the process: the one backend
 * client, the state of its session as the panel shows it, the signed-in user's profile with its
 * cache account.json, the e-mail one-time-code sign-in and the sign-out.
 *
 * Late answers are dropped by the account generation, which every sign-in reset and sign-out
 * increases: a session check, profile read, sign-in completion or opt-in update that started
 * before the increase changes nothing when it ends. Answers for a user other than the one now
 * signed in are dropped as well.
 *
 * Lives on the main thread; every setter compares before it notifies.
 */
class AccountModel : public QObject
{
    Q_OBJECT
    /// The step of the e-mail sign-in.
    Q_PROPERTY(PhaseKind phase READ phaseKind NOTIFY phaseChanged)
    /// The address of the CodeSent and Verifying steps; empty otherwise.
    Q_PROPERTY(QString phaseEmail READ phaseEmail NOTIFY phaseChanged)
    /// The state of the backend session.
    Q_PROPERTY(SessionKind cloudSessionState READ sessionKind NOTIFY cloudSessionStateChanged)
    /// Whether a profile is held (cached or read).
    Q_PROPERTY(bool hasProfile READ hasProfile NOTIFY profileChanged)
    /// The held profile's e-mail address; empty without a profile.
    Q_PROPERTY(QString profileEmail READ profileEmail NOTIFY profileChanged)
    /// The sentence for the last failed account operation; empty when none.
    Q_PROPERTY(QString lastError READ lastErrorText NOTIFY lastErrorChanged)
    /// A profile load after sign-in is running.
    Q_PROPERTY(bool isLoadingProfile READ isLoadingProfile NOTIFY isLoadingProfileChanged)
    /// The sentence describing a problem with account.json; empty when none.
    Q_PROPERTY(QString persistenceIssue READ persistenceIssueText NOTIFY persistenceIssueChanged)

public:
    /// The steps of the e-mail sign-in.
    enum class PhaseKind {
        SignedOut,      ///< no sign-in under way and no signed-in profile
        SendingCode,    ///< a code request is in flight; also held while a sign-out runs
        CodeSent,       ///< a code was sent to the address and can be entered
        Verifying,      ///< the code for the address is being checked
        ProfilePending, ///< signed in, but the profile is not (or no longer) loaded
        SignedIn,       ///< signed in with a profile
    };
    Q_ENUM(PhaseKind)

    /// The states of the backend session.
    enum class SessionKind {
        Checking,                 ///< the session is being checked
        Authenticated,            ///< the session is valid for the state's user
        SignedOut,                ///< no session and nothing cached that needs one
        ReauthenticationRequired, ///< a profile is cached but no valid session is stored
        TemporarilyUnavailable,   ///< no backend, or the check failed other than for a missing session
    };
    Q_ENUM(SessionKind)

    /// The sign-in step with its address (CodeSent and Verifying only).
    struct Phase
    {
        PhaseKind kind = PhaseKind::SignedOut;
        QString email;

        [[nodiscard]] static Phase codeSent(QString email) { return {PhaseKind::CodeSent, std::move(email)}; }
        [[nodiscard]] static Phase verifying(QString email) { return {PhaseKind::Verifying, std::move(email)}; }
        friend bool operator==(const Phase &, const Phase &) = default;
    };

    /// The session state with its user (Authenticated only).
    struct CloudSessionState
    {
        SessionKind kind = SessionKind::Checking;
        QUuid userID;

        [[nodiscard]] static CloudSessionState authenticated(QUuid user) { return {SessionKind::Authenticated, user}; }
        friend bool operator==(const CloudSessionState &, const CloudSessionState &) = default;
    };

    /// What the model uses from its surroundings; tests replace any of it.
    struct Environment
    {
        /// The folder of account.json; empty for the application's data folder.
        QString storageFolder;
        const Clock *clock = nullptr;    ///< the system clock when null
        ErrorLog *errorLog = nullptr;    ///< where failures are recorded; must be given
        /// Where the backend client keeps its session; the user's keyring when null.
        SessionStorage *sessionStorage = nullptr;
        /// Waits out the pause between profile reads; when empty, a wait on the boot-time clock,
        /// which keeps counting while the machine sleeps.
        ContinuousClock::Delay pause;
        /// How long one backend request may take.
        std::chrono::milliseconds requestTimeout{30000};
        /// Whether a network other than loopback is up; the machine's interfaces when empty.
        std::function<bool()> networkUp;
    };

    /// The pause after the first failed profile read of a sign-in; it doubles after each further one.
    static constexpr std::chrono::milliseconds profileRetryPause{300};
    /// How old a held profile may be before the launch settle reads it again.
    static constexpr qint64 profileMaxAgeSeconds = 900;
    /// How long a sent code is offered again when the sign-in sheet reopens.
    static constexpr qint64 codeLifetimeSeconds = 3600;

    static inline const QString backendUnavailableSentence = QStringLiteral(
        "Cloud features are unavailable because this build is missing its backend configuration.");
    static inline const QString notRevokedSentence = QStringLiteral(
        "Signed out on this computer. The server couldn't be reached, so the session wasn't revoked.");
    static inline const QString profileNotLoadedSentence = QStringLiteral(
        "Signed in, but we couldn't load your profile. Check your connection and try again.");
    static inline const QString cacheUnsupportedSentence =
        QStringLiteral("Saved account data used an unsupported format and was preserved.");
    static inline const QString cacheWriteFailedSentence =
        QStringLiteral("Account status could not be cached for offline use.");
    static inline const QString sessionMissingLogMessage = QStringLiteral(
        "Cached account profile present; stored authentication session missing. Sign in again on this computer.");

    /// Makes the backend client when a configuration is given and, with one, loads account.json.
    /// Without a configuration the session state is TemporarilyUnavailable at once; otherwise it
    /// is Checking until start() has looked at the stored session.
    AccountModel(std::optional<BackendConfiguration> configuration, Environment environment,
                          QObject *parent = nullptr);
    ~AccountModel() override;

    /// Sets the first session state from the session the client has stored (without checking
    /// it): Checking when one is stored, else ReauthenticationRequired with a cached profile or
    /// SignedOut. Run once after construction.
    QCoro::Task<> start();

    // --- State ------------------------------------------------------------------------------

    [[nodiscard]] Phase phase() const { return m_phase; }
    [[nodiscard]] PhaseKind phaseKind() const { return m_phase.kind; }
    [[nodiscard]] QString phaseEmail() const { return m_phase.email; }
    [[nodiscard]] CloudSessionState cloudSessionState() const { return m_cloudSessionState; }
    [[nodiscard]] SessionKind sessionKind() const { return m_cloudSessionState.kind; }
    [[nodiscard]] const std::optional<AccountProfile> &profile() const { return m_profile; }
    [[nodiscard]] bool hasProfile() const { return m_profile.has_value(); }
    [[nodiscard]] QString profileEmail() const { return m_profile ? m_profile->email : QString(); }
    [[nodiscard]] std::optional<QString> lastError() const { return m_lastError; }
    [[nodiscard]] QString lastErrorText() const { return m_lastError.value_or(QString()); }
    /// When the current one-time code was sent.
    [[nodiscard]] std::optional<QDateTime> codeSentAt() const { return m_codeSentAt; }
    [[nodiscard]] bool isLoadingProfile() const { return m_isLoadingProfile; }
    /// The backend user the cached profile belongs to.
    [[nodiscard]] std::optional<QUuid> cacheOwnerID() const { return m_cacheOwnerID; }
    /// False once an unusable account.json was preserved; then nothing writes or removes it.
    [[nodiscard]] bool cacheWritable() const { return m_cache.isWritable(); }
    [[nodiscard]] QString cachePath() const { return m_cache.path(); }
    [[nodiscard]] std::optional<QString> persistenceIssue() const { return m_persistenceIssue; }
    [[nodiscard]] QString persistenceIssueText() const { return m_persistenceIssue.value_or(QString()); }
    /// Counts sign-in resets and sign-outs.
    [[nodiscard]] qint64 accountGeneration() const { return m_accountGeneration; }
    [[nodiscard]] bool signingOut() const { return m_signingOut; }
    /// The opt-in choice of the last code request that is not yet stored in the profile.
    [[nodiscard]] std::optional<bool> pendingOptIn() const { return m_pendingOptIn; }
    [[nodiscard]] bool applyingOptIn() const { return m_applyingOptIn; }
    /// The one backend client of the process; null without a backend configuration.
    [[nodiscard]] BackendClient *client() const { return m_client.get(); }

    // --- Session ----------------------------------------------------------------------------

    /// The one way the session state changes. Authenticated for a user other than the cache's
    /// owner drops the held profile (the cache file and its owner stay); entering
    /// ReauthenticationRequired writes one "account-session" line.
    void applySessionState(CloudSessionState state);
    /// Checks the session with the backend (renewing it when due) and returns the state after.
    QCoro::Task<CloudSessionState> refreshSession();
    /// Follows the client's authentication changes: a session makes the state Authenticated; none
    /// makes it SignedOut during a sign-out, else ReauthenticationRequired with a profile held or
    /// SignedOut.
    void applyAuthSession(const std::optional<BackendSession> &session);
    /// Writes account.json with the profile and the owner (the current cache owner when none is
    /// given); a failure sets persistenceIssue and is recorded, a success clears persistenceIssue.
    void writeCache(const AccountProfile &profile, std::optional<QUuid> owner = std::nullopt);

    // --- Sign-in and sign-out ----------------------------------------------------------------

    /// Readies the sign-in sheet: clears lastError and forgets a code sent an hour ago or earlier.
    void prepareSignIn();
    /// Asks the backend to e-mail a code to the address (trimmed, lower-cased), remembering the
    /// opt-in choice. Ends in CodeSent, or in SignedOut with the error's sentence.
    QCoro::Task<> sendCode(QString email, bool marketingOptIn);
    /// Checks the code (without surrounding spaces and tabs) for the address of CodeSent; on
    /// success signs in and loads the profile, else returns to CodeSent with the error's sentence.
    QCoro::Task<> verifyCode(QString code);
    /// Abandons a sign-in without calling the backend; profile and cache are kept.
    void resetSignIn();
    /// The sign-in sheet's way back to the address step ("Send a new code", "Use a different
    /// email"): forgets the sent code and the pending opt-in; the error stays, and a session or a
    /// sign-in under way is not touched.
    void returnToEmailStep();
    /// Signs out on the server, then locally, and forgets the account (account.json too unless
    /// it is read-only). False when the server could not be told; the local sign-out happens
    /// anyway and lastError says so.
    QCoro::Task<bool> signOut();
    /// The sentence for a failed code request or check; the raw error is recorded first under
    /// "account.send" or "account.verify".
    QString authErrorMessage(const BackendError &error, bool isVerify);

    // --- Profile ----------------------------------------------------------------------------

    /// Reads the signed-in user's profile row and, while the account is unchanged, keeps and
    /// caches it. False without a backend client or when a backend call failed; an answer that
    /// came too late to apply is still true.
    QCoro::Task<bool> fetchProfile();
    /// Completes a sign-in: reads the profile (attempts tries, at least one, pausing 300 ms, then
    /// 600 ms, … between them), stores a pending opt-in and ends in SignedIn, or in ProfilePending
    /// with a sentence.
    QCoro::Task<> loadProfileAfterSignIn(int attempts);
    /// The sign-in sheet's retry while the profile is pending: one more read.
    QCoro::Task<> reloadProfile();
    /// Sets "marketing_opt_in" in the user's row when the opt-in is pending and the held profile
    /// does not show it yet; applied only for the same account and generation.
    QCoro::Task<> applyMarketingOptIn(qint64 generation);
    /// When the panel is shown: checks the session and reads the profile again when it belongs to
    /// another user or is 900 seconds old or older; retries a pending opt-in.
    QCoro::Task<> settleLaunch();

Q_SIGNALS:
    void phaseChanged();
    void cloudSessionStateChanged();
    void profileChanged();
    void lastErrorChanged();
    void codeSentAtChanged();
    void isLoadingProfileChanged();
    void cacheOwnerIDChanged();
    void persistenceIssueChanged();
    void accountGenerationChanged();
    void signingOutChanged();
    void pendingOptInChanged();
    void applyingOptInChanged();

private:
    template<typename T>
    void assign(T &field, T value, void (AccountModel::*changed)())
    {
        if (field == value)
            return;
        field = std::move(value);
        Q_EMIT(this->*changed)();
    }

    void loadCache();
    void record(const QString &area, const QString &message);
    void advanceGeneration();
    /// Whether an answer obtained for user under generation may still be applied: no reset or
    /// sign-out since, and no other user signed in meanwhile.
    [[nodiscard]] bool isCurrent(qint64 generation, const QUuid &user) const;

    const Clock &m_clock;
    ErrorLog &m_errorLog;
    ContinuousClock::Delay m_pause;
    AccountCache m_cache;
    std::unique_ptr<SessionStorage> m_ownedStorage;
    // After the storage, so that the client, which uses it, goes first.
    std::unique_ptr<BackendClient> m_client;

    Phase m_phase;
    std::optional<AccountProfile> m_profile;
    CloudSessionState m_cloudSessionState;
    std::optional<QString> m_lastError;
    std::optional<QDateTime> m_codeSentAt;
    bool m_isLoadingProfile = false;
    std::optional<QUuid> m_cacheOwnerID;
    std::optional<QString> m_persistenceIssue;
    qint64 m_accountGeneration = 0;
    bool m_signingOut = false;
    std::optional<bool> m_pendingOptIn;
    bool m_applyingOptIn = false;
};
