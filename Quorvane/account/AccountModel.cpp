// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "account/AccountModel.h"

#include "account/ProfileRow.h"
#include "account/SessionVault.h"
#include "account/SignInErrors.h"
#include "model/ErrorLog.h"
#include "foundation/Clock.h"
#include "platform/DataFolder.h"

#include <QPointer>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

const QString kProfiles = u"profiles"_s;

// Spaces and tabs only: a line break in a pasted code is left for the server to refuse.
QString withoutSpacesAndTabs(const QString &text)
{
    const auto blank = [](QChar c) { return c == u' ' || c == u'\t'; };
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && blank(text.at(begin)))
        ++begin;
    while (end > begin && blank(text.at(end - 1)))
        --end;
    return text.sliced(begin, end - begin);
}

} // namespace

AccountModel::AccountModel(std::optional<BackendConfiguration> configuration, Environment environment,
                           QObject *parent)
    : QObject(parent)
    , m_clock(environment.clock ? *environment.clock : Clock::system())
    , m_errorLog(*environment.errorLog)
    , m_pause(environment.pause ? std::move(environment.pause) : ContinuousClock::delay())
    , m_cache(environment.storageFolder.isEmpty() ? DataFolder::path() : environment.storageFolder, m_clock)
{
    if (!configuration) {
        // No client: account.json is neither read nor preserved.
        applySessionState({SessionKind::TemporarilyUnavailable, {}});
        return;
    }
    SessionStorage *storage = environment.sessionStorage;
    if (!storage) {
        m_ownedStorage = std::make_unique<SessionVault>(SessionVault::backendSessionService);
        storage = m_ownedStorage.get();
    }
    BackendClient::Settings settings;
    settings.requestTimeout = environment.requestTimeout;
    settings.networkUp = std::move(environment.networkUp);
    settings.clock = &m_clock;
    m_client = std::make_unique<BackendClient>(configuration->url, configuration->publishableKey, storage, settings);
    loadCache();
}

AccountModel::~AccountModel() = default;

void AccountModel::loadCache()
{
    const AccountCache::Load load = m_cache.load();
    switch (load.outcome) {
    case AccountCache::Load::Outcome::Missing:
        break;
    case AccountCache::Load::Outcome::Loaded:
        assign(m_cacheOwnerID, load.account.ownerID, &AccountModel::cacheOwnerIDChanged);
        assign(m_profile, std::optional<AccountProfile>(load.account.profile), &AccountModel::profileChanged);
        assign(m_phase, Phase{PhaseKind::SignedIn, {}}, &AccountModel::phaseChanged);
        break;
    case AccountCache::Load::Outcome::Preserved:
        assign(m_persistenceIssue, std::optional<QString>(cacheUnsupportedSentence), &AccountModel::persistenceIssueChanged);
        if (load.failure)
            record(u"account-cache"_s, *load.failure);
        break;
    }
}

QCoro::Task<> AccountModel::start()
{
    if (!m_client)
        co_return;
    const QPointer<AccountModel> self(this);
    const qint64 generation = m_accountGeneration;
    const BackendResult<std::optional<BackendSession>> stored = co_await m_client->loadStoredSession();
    // A sign-in, reset or check that got in first knows better.
    if (!self || m_accountGeneration != generation || m_cloudSessionState.kind != SessionKind::Checking)
        co_return;
    if (!stored) {
        // A keyring that cannot be read says nothing about whether a session is stored.
        applySessionState({SessionKind::TemporarilyUnavailable, {}});
        co_return;
    }
    if (stored.value())
        co_return; // stays Checking until the first refreshSession()
    applySessionState({hasProfile() ? SessionKind::ReauthenticationRequired : SessionKind::SignedOut, {}});
}

void AccountModel::record(const QString &area, const QString &message)
{
    m_errorLog.record(area, message, m_clock.now());
}

void AccountModel::advanceGeneration()
{
    ++m_accountGeneration;
    Q_EMIT accountGenerationChanged();
}

bool AccountModel::isCurrent(qint64 generation, const QUuid &user) const
{
    if (m_accountGeneration != generation)
        return false;
    return m_cloudSessionState.kind != SessionKind::Authenticated || m_cloudSessionState.userID == user;
}

// --- Session ----------------------------------------------------------------------------------

void AccountModel::applySessionState(CloudSessionState state)
{
    const CloudSessionState old = m_cloudSessionState;
    if (state.kind == SessionKind::Authenticated && m_cacheOwnerID && *m_cacheOwnerID != state.userID)
        assign(m_profile, std::optional<AccountProfile>(), &AccountModel::profileChanged);
    assign(m_cloudSessionState, state, &AccountModel::cloudSessionStateChanged);
    if (state.kind == SessionKind::ReauthenticationRequired && old.kind != SessionKind::ReauthenticationRequired)
        record(u"account-session"_s, sessionMissingLogMessage);
}

QCoro::Task<AccountModel::CloudSessionState> AccountModel::refreshSession()
{
    if (!m_client) {
        applySessionState({SessionKind::TemporarilyUnavailable, {}});
        co_return m_cloudSessionState;
    }
    const QPointer<AccountModel> self(this);
    const qint64 generation = m_accountGeneration;
    applySessionState({SessionKind::Checking, {}});
    const BackendResult<BackendSession> session = co_await m_client->session();
    if (!self)
        co_return CloudSessionState{};
    if (m_accountGeneration == generation) {
        if (session)
            applySessionState(CloudSessionState::authenticated(session.value().user.id));
        else if (session.error().kind() == BackendError::Kind::SessionMissing)
            applySessionState({hasProfile() ? SessionKind::ReauthenticationRequired : SessionKind::SignedOut, {}});
        else
            applySessionState({SessionKind::TemporarilyUnavailable, {}});
    }
    co_return m_cloudSessionState;
}

void AccountModel::applyAuthSession(const std::optional<BackendSession> &session)
{
    if (session)
        applySessionState(CloudSessionState::authenticated(session->user.id));
    else if (m_signingOut || !hasProfile())
        applySessionState({SessionKind::SignedOut, {}});
    else
        applySessionState({SessionKind::ReauthenticationRequired, {}});
}

void AccountModel::writeCache(const AccountProfile &profile, std::optional<QUuid> owner)
{
    if (!m_cache.isWritable())
        return;
    const PersistedAccount account{PersistedAccount::currentVersion, owner ? owner : m_cacheOwnerID, profile};
    if (const std::optional<QString> failure = m_cache.write(account)) {
        assign(m_persistenceIssue, std::optional<QString>(cacheWriteFailedSentence), &AccountModel::persistenceIssueChanged);
        record(u"account-cache"_s, *failure);
        return;
    }
    assign(m_persistenceIssue, std::optional<QString>(), &AccountModel::persistenceIssueChanged);
}

// --- Sign-in and sign-out ---------------------------------------------------------------------

void AccountModel::prepareSignIn()
{
    if (!m_client) {
        assign(m_phase, Phase{}, &AccountModel::phaseChanged);
        assign(m_lastError, std::optional<QString>(backendUnavailableSentence), &AccountModel::lastErrorChanged);
        return;
    }
    assign(m_lastError, std::optional<QString>(), &AccountModel::lastErrorChanged);
    if (m_phase.kind != PhaseKind::CodeSent)
        return;
    if (m_codeSentAt && m_codeSentAt->secsTo(m_clock.now()) < codeLifetimeSeconds)
        return;
    assign(m_phase, Phase{}, &AccountModel::phaseChanged);
    assign(m_codeSentAt, std::optional<QDateTime>(), &AccountModel::codeSentAtChanged);
    assign(m_pendingOptIn, std::optional<bool>(), &AccountModel::pendingOptInChanged);
}

QCoro::Task<> AccountModel::sendCode(QString email, bool marketingOptIn)
{
    if (m_phase.kind == PhaseKind::Verifying || m_phase.kind == PhaseKind::SendingCode || m_isLoadingProfile)
        co_return;
    if (!m_client) {
        assign(m_phase, Phase{}, &AccountModel::phaseChanged);
        assign(m_lastError, std::optional<QString>(backendUnavailableSentence), &AccountModel::lastErrorChanged);
        co_return;
    }
    const QPointer<AccountModel> self(this);
    const QString address = email.trimmed().toLower();
    const qint64 generation = m_accountGeneration;
    assign(m_phase, Phase{PhaseKind::SendingCode, {}}, &AccountModel::phaseChanged);
    assign(m_lastError, std::optional<QString>(), &AccountModel::lastErrorChanged);
    assign(m_pendingOptIn, std::optional<bool>(marketingOptIn), &AccountModel::pendingOptInChanged);

    const QJsonObject metadata{{QStringLiteral("marketing_opt_in"), marketingOptIn}};
    const BackendResult<> sent = co_await m_client->requestEmailCode(address, metadata);
    // The sign-out holds SendingCode too; the generation tells its phase from this request's.
    if (!self || m_phase.kind != PhaseKind::SendingCode || m_accountGeneration != generation)
        co_return;
    if (sent) {
        assign(m_codeSentAt, std::optional<QDateTime>(m_clock.now()), &AccountModel::codeSentAtChanged);
        assign(m_phase, Phase::codeSent(address), &AccountModel::phaseChanged);
        co_return;
    }
    assign(m_phase, Phase{}, &AccountModel::phaseChanged);
    assign(m_lastError, std::optional<QString>(authErrorMessage(sent.error(), false)), &AccountModel::lastErrorChanged);
}

QCoro::Task<> AccountModel::verifyCode(QString code)
{
    if (!m_client) {
        assign(m_phase, Phase{}, &AccountModel::phaseChanged);
        assign(m_lastError, std::optional<QString>(backendUnavailableSentence), &AccountModel::lastErrorChanged);
        co_return;
    }
    if (m_phase.kind != PhaseKind::CodeSent)
        co_return;
    const QPointer<AccountModel> self(this);
    const QString address = m_phase.email;
    const qint64 generation = m_accountGeneration;
    assign(m_phase, Phase::verifying(address), &AccountModel::phaseChanged);
    assign(m_lastError, std::optional<QString>(), &AccountModel::lastErrorChanged);

    const BackendResult<BackendUser> user = co_await m_client->verifyEmailCode(address, withoutSpacesAndTabs(code));
    if (!self)
        co_return;
    if (user) {
        // The client now holds this session whatever the sheet did meanwhile.
        applySessionState(CloudSessionState::authenticated(user.value().id));
        co_await loadProfileAfterSignIn(2);
        co_return;
    }
    if (m_phase.kind != PhaseKind::Verifying || m_accountGeneration != generation)
        co_return;
    assign(m_phase, Phase::codeSent(address), &AccountModel::phaseChanged);
    assign(m_lastError, std::optional<QString>(authErrorMessage(user.error(), true)), &AccountModel::lastErrorChanged);
}

void AccountModel::resetSignIn()
{
    advanceGeneration();
    assign(m_phase, Phase{}, &AccountModel::phaseChanged);
    assign(m_lastError, std::optional<QString>(), &AccountModel::lastErrorChanged);
    assign(m_codeSentAt, std::optional<QDateTime>(), &AccountModel::codeSentAtChanged);
    assign(m_pendingOptIn, std::optional<bool>(), &AccountModel::pendingOptInChanged);
    applySessionState({hasProfile() ? SessionKind::ReauthenticationRequired : SessionKind::SignedOut, {}});
}

void AccountModel::returnToEmailStep()
{
    assign(m_phase, Phase{}, &AccountModel::phaseChanged);
    assign(m_codeSentAt, std::optional<QDateTime>(), &AccountModel::codeSentAtChanged);
    assign(m_pendingOptIn, std::optional<bool>(), &AccountModel::pendingOptInChanged);
}

QCoro::Task<bool> AccountModel::signOut()
{
    const QPointer<AccountModel> self(this);
    advanceGeneration();
    assign(m_phase, Phase{PhaseKind::SendingCode, {}}, &AccountModel::phaseChanged);
    assign(m_signingOut, true, &AccountModel::signingOutChanged);

    bool revoked = true;
    if (m_client) {
        const BackendResult<> global = co_await m_client->signOut(BackendClient::SignOutScope::Global);
        if (!self)
            co_return false;
        revoked = global.ok();
        co_await m_client->signOut(BackendClient::SignOutScope::Local);
        if (!self)
            co_return false;
    }

    assign(m_profile, std::optional<AccountProfile>(), &AccountModel::profileChanged);
    assign(m_cacheOwnerID, std::optional<QUuid>(), &AccountModel::cacheOwnerIDChanged);
    m_cache.remove();
    assign(m_phase, Phase{}, &AccountModel::phaseChanged);
    assign(m_signingOut, false, &AccountModel::signingOutChanged);
    applySessionState({SessionKind::SignedOut, {}});
    assign(m_lastError, revoked ? std::optional<QString>() : std::optional<QString>(notRevokedSentence),
           &AccountModel::lastErrorChanged);
    assign(m_codeSentAt, std::optional<QDateTime>(), &AccountModel::codeSentAtChanged);
    assign(m_pendingOptIn, std::optional<bool>(), &AccountModel::pendingOptInChanged);
    co_return revoked;
}

QString AccountModel::authErrorMessage(const BackendError &error, bool isVerify)
{
    record(isVerify ? u"account.verify"_s : u"account.send"_s, error.message());
    return SignInErrors::sentence(error, isVerify);
}

// --- Profile ----------------------------------------------------------------------------------

QCoro::Task<bool> AccountModel::fetchProfile()
{
    if (!m_client)
        co_return false;
    const QPointer<AccountModel> self(this);
    const qint64 generation = m_accountGeneration;
    const BackendResult<BackendSession> session = co_await m_client->session();
    if (!self || !session)
        co_return false;
    const QUuid user = session.value().user.id;
    // A sign-out or reset while waiting must not be undone by this older answer.
    if (m_accountGeneration != generation)
        co_return true;
    applySessionState(CloudSessionState::authenticated(user));

    const BackendQuery query = BackendQuery(kProfiles).select(ProfileRow::columns).single();
    const BackendResult<QJsonValue> row = co_await m_client->select(query);
    if (!self || !row)
        co_return false;
    const std::optional<ProfileRow> decoded = ProfileRow::fromJson(row.value());
    if (!decoded)
        co_return false;
    if (!isCurrent(generation, user))
        co_return true;
    const AccountProfile profile = decoded->profile(m_clock.now());
    assign(m_profile, std::optional<AccountProfile>(profile), &AccountModel::profileChanged);
    assign(m_cacheOwnerID, std::optional<QUuid>(user), &AccountModel::cacheOwnerIDChanged);
    writeCache(profile, user);
    co_return true;
}

QCoro::Task<> AccountModel::loadProfileAfterSignIn(int attempts)
{
    const QPointer<AccountModel> self(this);
    const qint64 generation = m_accountGeneration;
    assign(m_isLoadingProfile, true, &AccountModel::isLoadingProfileChanged);
    const int tries = std::max(attempts, 1);
    bool loaded = false;
    for (int attempt = 0; attempt < tries; ++attempt) {
        loaded = co_await fetchProfile();
        if (!self)
            co_return;
        if (loaded || attempt + 1 == tries)
            break;
        co_await m_pause(profileRetryPause * (1 << attempt));
        if (!self)
            co_return;
    }
    if (m_accountGeneration != generation) {
        assign(m_isLoadingProfile, false, &AccountModel::isLoadingProfileChanged);
        co_return;
    }
    if (loaded && m_profile) {
        co_await applyMarketingOptIn(generation);
        if (!self)
            co_return;
        if (m_accountGeneration == generation)
            assign(m_phase, Phase{PhaseKind::SignedIn, {}}, &AccountModel::phaseChanged);
        assign(m_isLoadingProfile, false, &AccountModel::isLoadingProfileChanged);
        co_return;
    }
    assign(m_phase, Phase{PhaseKind::ProfilePending, {}}, &AccountModel::phaseChanged);
    assign(m_lastError, std::optional<QString>(profileNotLoadedSentence), &AccountModel::lastErrorChanged);
    assign(m_isLoadingProfile, false, &AccountModel::isLoadingProfileChanged);
}

QCoro::Task<> AccountModel::reloadProfile()
{
    if (m_phase.kind != PhaseKind::ProfilePending || m_isLoadingProfile)
        co_return;
    assign(m_lastError, std::optional<QString>(), &AccountModel::lastErrorChanged);
    co_await loadProfileAfterSignIn(1);
}

QCoro::Task<> AccountModel::applyMarketingOptIn(qint64 generation)
{
    if (!m_client || m_applyingOptIn)
        co_return;
    assign(m_applyingOptIn, true, &AccountModel::applyingOptInChanged);
    if (m_pendingOptIn != true || !m_profile) {
        assign(m_applyingOptIn, false, &AccountModel::applyingOptInChanged);
        co_return;
    }
    if (m_profile->marketingOptIn) {
        assign(m_pendingOptIn, std::optional<bool>(), &AccountModel::pendingOptInChanged);
        assign(m_applyingOptIn, false, &AccountModel::applyingOptInChanged);
        co_return;
    }
    const QPointer<AccountModel> self(this);
    const BackendResult<BackendSession> session = co_await m_client->session();
    if (!self)
        co_return;
    if (!session) {
        assign(m_applyingOptIn, false, &AccountModel::applyingOptInChanged);
        co_return;
    }
    const QUuid user = session.value().user.id;
    const BackendQuery row = BackendQuery(kProfiles).eq(QStringLiteral("id"), user.toString(QUuid::WithoutBraces));
    const QJsonObject values{{QStringLiteral("marketing_opt_in"), true}};
    const BackendResult<QJsonValue> updated = co_await m_client->update(row, values);
    if (!self)
        co_return;
    if (!updated) {
        if (updated.error().kind() != BackendError::Kind::Cancelled)
            record(u"account.opt-in"_s, updated.error().message());
        assign(m_applyingOptIn, false, &AccountModel::applyingOptInChanged);
        co_return;
    }
    // The profile held now, not a copy from before the wait: a read that landed meanwhile keeps
    // its newer fields. Another account's profile is never touched.
    const bool sameAccount = m_profile && (m_cacheOwnerID ? *m_cacheOwnerID == user : isCurrent(generation, user));
    if (m_accountGeneration == generation && sameAccount) {
        AccountProfile profile = *m_profile;
        profile.marketingOptIn = true;
        assign(m_profile, std::optional<AccountProfile>(profile), &AccountModel::profileChanged);
        writeCache(profile);
        assign(m_pendingOptIn, std::optional<bool>(), &AccountModel::pendingOptInChanged);
    }
    assign(m_applyingOptIn, false, &AccountModel::applyingOptInChanged);
}

QCoro::Task<> AccountModel::settleLaunch()
{
    if (!m_client)
        co_return;
    const QPointer<AccountModel> self(this);
    const CloudSessionState state = co_await refreshSession();
    if (!self || state.kind != SessionKind::Authenticated)
        co_return;
    if (m_cacheOwnerID && *m_cacheOwnerID != state.userID) {
        assign(m_profile, std::optional<AccountProfile>(), &AccountModel::profileChanged);
        assign(m_phase, Phase{PhaseKind::ProfilePending, {}}, &AccountModel::phaseChanged);
    } else if (m_profile && m_profile->fetchedAt.msecsTo(m_clock.now()) < profileMaxAgeSeconds * 1000) {
        co_return;
    }
    co_await fetchProfile();
    if (!self)
        co_return;
    if (m_pendingOptIn == true && m_profile)
        co_await applyMarketingOptIn(m_accountGeneration);
}
