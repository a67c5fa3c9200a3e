// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "account/AccountModel.h"
#include "account/SignInErrors.h"
#include "model/ErrorLog.h"
#include "support/FakeBackend.h"
#include "support/ManualClock.h"
#include "support/MemorySessionStorage.h"
#include "support/TempHome.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QTest>

#include <time.h>

#include <QCoro/QCoroTask>

using namespace std::chrono_literals;
using Kind = AccountModel::SessionKind;
using Step = AccountModel::PhaseKind;

Q_DECLARE_METATYPE(AccountModel::SessionKind)
Q_DECLARE_METATYPE(AccountModel::PhaseKind)
Q_DECLARE_METATYPE(FakeBackend::Reply)

namespace {

class QuietSystemLog final : public SystemLog
{
public:
    void error(const QString &, const QString &) override {}
};

const QUuid kUserA = QUuid::fromString(QStringLiteral("3f2b8c1e-5d4a-4e8f-9a7b-1c2d3e4f5a6b"));
const QUuid kUserB = QUuid::fromString(QStringLiteral("9c8d7e6f-1a2b-4c3d-8e9f-0a1b2c3d4e5f"));
const QString kProfilesPath = QStringLiteral("/rest/v1/profiles");

QJsonObject profileRow(const QString &email, bool optIn)
{
    return {{QStringLiteral("email"), email}, {QStringLiteral("marketing_opt_in"), optIn}, {QStringLiteral("id"), 1}};
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// How many timers of this process run on the boot-time clock.
int bootClockTimers()
{
    const QString clock = QStringLiteral("clockid: %1\n").arg(CLOCK_BOOTTIME);
    const QDir descriptors(QStringLiteral("/proc/self/fdinfo"));
    int count = 0;
    for (const QString &name : descriptors.entryList(QDir::Files)) {
        if (QString::fromLatin1(readFile(descriptors.filePath(name))).contains(clock))
            ++count;
    }
    return count;
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
}

} // namespace

class tst_AccountModel : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TempHome> m_home;
    std::unique_ptr<FakeBackend> m_fake;
    std::unique_ptr<MemorySessionStorage> m_storage;
    std::unique_ptr<ManualClock> m_clock;
    std::unique_ptr<QuietSystemLog> m_systemLog;
    std::unique_ptr<ErrorLog> m_log;
    /// The profile rows of each user, as the "profiles" table's access rules give them.
    QHash<QUuid, QJsonObject> m_rows;
    /// The pauses the model asked for, and what it showed while pausing.
    QList<std::chrono::milliseconds> m_pauses;
    QList<std::pair<bool, Step>> m_stateDuringPauses;
    AccountModel *m_current = nullptr;
    /// Where the model's backend is, when not the fake; and what it is told of the network.
    QUrl m_backendURL;
    std::function<bool()> m_networkUp;
    /// The model waits its pauses out itself instead of reporting them.
    bool m_realPauses = false;

    std::unique_ptr<AccountModel> makeModel(bool configured = true)
    {
        AccountModel::Environment environment;
        environment.clock = m_clock.get();
        environment.errorLog = m_log.get();
        environment.sessionStorage = m_storage.get();
        environment.requestTimeout = 3000ms;
        environment.networkUp = m_networkUp;
        if (!m_realPauses) {
            environment.pause = [this](std::chrono::milliseconds pause) -> QCoro::Task<> {
                m_pauses.append(pause);
                m_stateDuringPauses.append({m_current->isLoadingProfile(), m_current->phaseKind()});
                co_return;
            };
        }
        std::optional<BackendConfiguration> configuration;
        if (configured)
            configuration = BackendConfiguration{m_backendURL.isEmpty() ? m_fake->url() : m_backendURL,
                                                 FakeBackend::publishableKey};
        auto model = std::make_unique<AccountModel>(configuration, std::move(environment));
        m_current = model.get();
        return model;
    }

    QString cachePath() const { return m_home->appDataDir() + QStringLiteral("/account.json"); }

    QList<ErrorEvent> events(const QString &area) const
    {
        QList<ErrorEvent> matching;
        for (const ErrorEvent &event : m_log->events()) {
            if (event.area == area)
                matching.append(event);
        }
        return matching;
    }

    /// Signs in as the given user through the code sheet.
    void signIn(AccountModel &model, const QUuid &user, bool optIn = false)
    {
        m_fake->userId = user;
        m_fake->userEmail = m_rows.value(user).value(QLatin1StringView("email")).toString();
        QCoro::waitFor(model.sendCode(m_fake->userEmail, optIn));
        QCOMPARE(model.phaseKind(), Step::CodeSent);
        QCoro::waitFor(model.verifyCode(FakeBackend::validCode));
    }

    QJsonObject cachedDocument() const { return QJsonDocument::fromJson(readFile(cachePath())).object(); }

private slots:
    void init()
    {
        m_home = std::make_unique<TempHome>();
        m_fake = std::make_unique<FakeBackend>();
        m_storage = std::make_unique<MemorySessionStorage>();
        m_clock = std::make_unique<ManualClock>();
        m_systemLog = std::make_unique<QuietSystemLog>();
        m_log = std::make_unique<ErrorLog>(*m_systemLog);
        m_rows = {{kUserA, profileRow(QStringLiteral("ada@example.com"), false)},
                  {kUserB, profileRow(QStringLiteral("bob@example.com"), false)}};
        m_fake->setUserTable(QStringLiteral("profiles"), [this](const QUuid &user) {
            return m_rows.contains(user) ? QJsonArray{m_rows.value(user)} : QJsonArray{};
        });
        m_pauses.clear();
        m_stateDuringPauses.clear();
        m_backendURL.clear();
        m_networkUp = nullptr;
        m_realPauses = false;
    }

    void cleanup()
    {
        m_current = nullptr;
        m_fake.reset();
        m_home.reset();
    }

    void firstSessionState_data()
    {
        QTest::addColumn<bool>("configured");
        QTest::addColumn<QByteArray>("cache");
        QTest::addColumn<bool>("storedSession");
        QTest::addColumn<Kind>("state");
        QTest::addColumn<bool>("hasProfile");
        QTest::addColumn<int>("sessionLines");

        const QByteArray owned =
            R"({"version":1,"ownerID":"3F2B8C1E-5D4A-4E8F-9A7B-1C2D3E4F5A6B","profile":{"email":"ada@example.com","marketingOptIn":false,"fetchedAt":790171200}})";
        const QByteArray bare = R"({"email":"ada@example.com","marketingOptIn":true,"fetchedAt":790171200})";
        QTest::newRow("no configuration: cache not even read") << false << owned << true << Kind::TemporarilyUnavailable << false << 0;
        QTest::newRow("cached profile and stored session") << true << owned << true << Kind::Checking << true << 0;
        QTest::newRow("cached profile, no stored session") << true << owned << false << Kind::ReauthenticationRequired << true << 1;
        QTest::newRow("older layout, no stored session") << true << bare << false << Kind::ReauthenticationRequired << true << 1;
        QTest::newRow("nothing cached, stored session") << true << QByteArray() << true << Kind::Checking << false << 0;
        QTest::newRow("nothing at all") << true << QByteArray() << false << Kind::SignedOut << false << 0;
    }

    void firstSessionState()
    {
        QFETCH(bool, configured);
        QFETCH(QByteArray, cache);
        QFETCH(bool, storedSession);
        QFETCH(Kind, state);
        QFETCH(bool, hasProfile);
        QFETCH(int, sessionLines);

        if (!cache.isEmpty())
            writeFile(cachePath(), cache);
        if (storedSession)
            m_storage->items.insert(BackendClient::sessionKey,
                                    BackendSession::fromAuthReply(m_fake->issueSession(), m_clock->now())->toStored());
        const auto model = makeModel(configured);
        QCoro::waitFor(model->start());

        QCOMPARE(model->sessionKind(), state);
        QCOMPARE(model->hasProfile(), hasProfile);
        QCOMPARE(model->phaseKind(), hasProfile ? Step::SignedIn : Step::SignedOut);
        QCOMPARE(events(QStringLiteral("account-session")).size(), sessionLines);
        if (sessionLines)
            QCOMPARE(events(QStringLiteral("account-session")).first().message,
                     QStringLiteral("Cached account profile present; stored authentication session missing. "
                                    "Sign in again on this computer."));
        QCOMPARE(readFile(cachePath()), cache);
        QCOMPARE(QDir(m_home->appDataDir()).entryList(QDir::Files).size(), cache.isEmpty() ? 0 : 1);
        QCOMPARE(model->cacheOwnerID(), cache.startsWith(R"({"version")") && configured ? std::optional<QUuid>(kUserA)
                                                                                        : std::optional<QUuid>());
    }

    void unusableCacheIsKeptThroughSignInAndSignOut_data()
    {
        QTest::addColumn<bool>("folderInPlace");
        QTest::newRow("version 2") << false;
        // Root reads through permission bits, so a folder stands in for a file nobody can read.
        QTest::newRow("cannot be read") << true;
    }

    void unusableCacheIsKeptThroughSignInAndSignOut()
    {
        QFETCH(bool, folderInPlace);
        const QByteArray content =
            R"({"version":2,"profile":{"email":"ada@example.com","marketingOptIn":false,"fetchedAt":1}})";
        if (folderInPlace)
            writeFile(cachePath() + QStringLiteral("/inside"), content);
        else
            writeFile(cachePath(), content);
        const QString contentPath = folderInPlace ? cachePath() + QStringLiteral("/inside") : cachePath();

        const auto model = makeModel();
        QCoro::waitFor(model->start());
        QVERIFY(!model->cacheWritable());
        QCOMPARE(model->persistenceIssue(), std::optional<QString>(AccountModel::cacheUnsupportedSentence));
        QVERIFY(!model->hasProfile());
        QCOMPARE(model->phaseKind(), Step::SignedOut);
        const QString backup = m_home->appDataDir()
            + QStringLiteral("/account-unreadable-%1.json").arg(m_clock->now().toSecsSinceEpoch());
        QCOMPARE(readFile(backup), folderInPlace ? QByteArray() : content);
        QCOMPARE(events(QStringLiteral("account-cache")).size(), folderInPlace ? 1 : 0);

        signIn(*model, kUserA);
        QCOMPARE(model->phaseKind(), Step::SignedIn);
        QCOMPARE(readFile(contentPath), content);
        QVERIFY(QCoro::waitFor(model->signOut()));
        QCOMPARE(readFile(contentPath), content);
        QCOMPARE(model->persistenceIssue(), std::optional<QString>(AccountModel::cacheUnsupportedSentence));
    }

    void failedBackupIsRecorded()
    {
        writeFile(cachePath(), R"({"version":7})");
        QVERIFY(QDir().mkpath(m_home->appDataDir()
                              + QStringLiteral("/account-unreadable-%1.json").arg(m_clock->now().toSecsSinceEpoch())));
        const auto model = makeModel();
        const QList<ErrorEvent> lines = events(QStringLiteral("account-cache"));
        QCOMPARE(lines.size(), 1);
        QVERIFY(lines.first().message.startsWith(QStringLiteral("backup failed: ")));
        QVERIFY(!model->cacheWritable());
    }

    void signInByCode()
    {
        const auto model = makeModel();
        QCoro::waitFor(model->start());
        QList<AccountModel::Phase> phases;
        connect(model.get(), &AccountModel::phaseChanged, this, [&] { phases.append(model->phase()); });

        QCoro::waitFor(model->sendCode(QStringLiteral("  Ada@Example.COM \n"), true));
        QCOMPARE(m_fake->requests("POST", QStringLiteral("/auth/v1/otp")).first().json(),
                 (QJsonObject{{QStringLiteral("email"), QStringLiteral("ada@example.com")},
                              {QStringLiteral("create_user"), true},
                              {QStringLiteral("data"), QJsonObject{{QStringLiteral("marketing_opt_in"), true}}}}));
        QCOMPARE(model->codeSentAt(), std::optional<QDateTime>(m_clock->now()));
        QCOMPARE(model->pendingOptIn(), std::optional<bool>(true));

        const QDateTime signedInAt = m_clock->now();
        QCoro::waitFor(model->verifyCode(QStringLiteral(" 123456\t")));
        QCOMPARE(m_fake->requests("POST", QStringLiteral("/auth/v1/verify")).first().json().value(QLatin1StringView("token")),
                 QJsonValue(FakeBackend::validCode));

        QCOMPARE(phases, (QList<AccountModel::Phase>{{Step::SendingCode, {}},
                                                     AccountModel::Phase::codeSent(QStringLiteral("ada@example.com")),
                                                     AccountModel::Phase::verifying(QStringLiteral("ada@example.com")),
                                                     {Step::SignedIn, {}}}));
        QCOMPARE(model->cloudSessionState(), AccountModel::CloudSessionState::authenticated(kUserA));
        QCOMPARE(model->profile(), std::optional<AccountProfile>(AccountProfile{QStringLiteral("ada@example.com"), true, signedInAt}));
        QCOMPARE(model->cacheOwnerID(), std::optional<QUuid>(kUserA));
        QCOMPARE(model->pendingOptIn(), std::optional<bool>());
        QCOMPARE(model->lastError(), std::optional<QString>());
        QVERIFY(!model->isLoadingProfile());

        // The opt-in went to the user's row, and the cache holds the read's time with the opt-in.
        const auto updates = m_fake->requests("PATCH", kProfilesPath);
        QCOMPARE(updates.size(), 1);
        QCOMPARE(updates.first().query, QStringLiteral("id=eq.") + kUserA.toString(QUuid::WithoutBraces));
        QCOMPARE(updates.first().body, QByteArray(R"({"marketing_opt_in":true})"));
        const QJsonObject cached = cachedDocument();
        QCOMPARE(cached.value(QLatin1StringView("ownerID")).toString(), kUserA.toString(QUuid::WithoutBraces).toUpper());
        QCOMPARE(PersistedAccount::decode(readFile(cachePath()))->profile, *model->profile());
        QCOMPARE(m_log->events().size(), 0);
    }

    void signInFailures_data()
    {
        QTest::addColumn<bool>("verify");
        QTest::addColumn<FakeBackend::Reply>("reply");
        QTest::addColumn<QString>("sentence");
        QTest::addColumn<QString>("logged");

        FakeBackend::Reply dropped;
        dropped.drop = true;
        QTest::newRow("send, connection lost") << false << dropped << SignInErrors::noConnection
                                               << QStringLiteral("The network connection was lost.");
        QTest::newRow("send, refused by the server")
            << false
            << FakeBackend::authError(429, QStringLiteral("over_email_send_rate_limit"),
                                      QStringLiteral("email rate limit exceeded"))
            << QStringLiteral("email rate limit exceeded") << QStringLiteral("email rate limit exceeded");
        QTest::newRow("verify, expired code")
            << true
            << FakeBackend::authError(403, QStringLiteral("otp_expired"), QStringLiteral("Token has Expired or is invalid"))
            << SignInErrors::codeMismatch << QStringLiteral("Token has Expired or is invalid");
        QTest::newRow("verify, connection lost") << true << dropped << SignInErrors::noConnection
                                                 << QStringLiteral("The network connection was lost.");
        const QString secretRefused = QStringLiteral("Bearer \u2039redacted\u203A was refused");
        QTest::newRow("send, the server's message carries a secret")
            << false
            << FakeBackend::authError(400, QStringLiteral("bad_jwt"), QStringLiteral("Bearer eyJabc.def was refused"))
            << secretRefused << secretRefused;
        const QString page = QStringLiteral("<html>") + QString(494, u'x') + QStringLiteral("\u2026");
        QTest::newRow("verify, an error page of 8 MB")
            << true << FakeBackend::Reply{502, "<html>" + QByteArray(8 * 1024 * 1024, 'x')} << page << page;
        QTest::newRow("verify, anything else")
            << true << FakeBackend::authError(500, QStringLiteral("unexpected_failure"), QStringLiteral("Database error saving new user"))
            << QStringLiteral("Database error saving new user") << QStringLiteral("Database error saving new user");
    }

    void signInFailures()
    {
        QFETCH(bool, verify);
        QFETCH(FakeBackend::Reply, reply);
        QFETCH(QString, sentence);
        QFETCH(QString, logged);

        const QString path = verify ? QStringLiteral("/auth/v1/verify") : QStringLiteral("/auth/v1/otp");
        // Qt sends again once over a fresh connection when a kept one closes without an answer.
        m_fake->script("POST", path, reply);
        if (reply.drop)
            m_fake->script("POST", path, reply);

        const auto model = makeModel();
        QCoro::waitFor(model->start());
        if (verify) {
            QCoro::waitFor(model->sendCode(QStringLiteral("ada@example.com"), false));
            QCoro::waitFor(model->verifyCode(FakeBackend::validCode));
            QCOMPARE(model->phase(), AccountModel::Phase::codeSent(QStringLiteral("ada@example.com")));
        } else {
            QCoro::waitFor(model->sendCode(QStringLiteral("ada@example.com"), true));
            QCOMPARE(model->phaseKind(), Step::SignedOut);
            QCOMPARE(model->pendingOptIn(), std::optional<bool>(true));
            QCOMPARE(model->codeSentAt(), std::optional<QDateTime>());
        }
        QCOMPARE(model->lastError(), std::optional<QString>(sentence));
        const QString area = verify ? QStringLiteral("account.verify") : QStringLiteral("account.send");
        QCOMPARE(m_log->events().size(), 1);
        QCOMPARE(m_log->events().first().area, area);
        QCOMPARE(m_log->events().first().message, logged);
    }

    void failedLookup_data()
    {
        QTest::addColumn<bool>("networkUp");
        QTest::addColumn<QString>("sentence");
        QTest::addColumn<QString>("logged");
        const QString unknownHost = QStringLiteral("A server with the specified hostname could not be found.");
        QTest::newRow("no network") << false << SignInErrors::noConnection
                                    << QStringLiteral("The network connection appears to be offline.");
        QTest::newRow("a network, an unknown host") << true << unknownHost << unknownHost;
    }

    void failedLookup()
    {
        // Without a network Qt fails at the name lookup: that is the offline case, not a missing server.
        QFETCH(bool, networkUp);
        QFETCH(QString, sentence);
        QFETCH(QString, logged);
        m_backendURL = QUrl(QStringLiteral("http://quorvane-test.invalid"));
        m_networkUp = [networkUp] { return networkUp; };
        const auto model = makeModel();
        QCoro::waitFor(model->start());
        QCoro::waitFor(model->sendCode(QStringLiteral("ada@example.com"), false));
        QCOMPARE(model->phaseKind(), Step::SignedOut);
        QCOMPARE(model->lastError(), std::optional<QString>(sentence));
        QCOMPARE(events(QStringLiteral("account.send")).size(), 1);
        QCOMPARE(events(QStringLiteral("account.send")).first().message, logged);
    }

    void answerAfterResetIsDropped()
    {
        const auto model = makeModel();
        QCoro::waitFor(model->start());
        FakeBackend::Reply slow = FakeBackend::authError(429, QStringLiteral("x"), QStringLiteral("too many"));
        slow.delay = 100ms;
        m_fake->script("POST", QStringLiteral("/auth/v1/otp"), slow);
        auto request = model->sendCode(QStringLiteral("ada@example.com"), false);
        model->resetSignIn();
        QCoro::waitFor(std::move(request));
        QCOMPARE(model->phaseKind(), Step::SignedOut);
        QCOMPARE(model->lastError(), std::optional<QString>());
        QCOMPARE(m_log->events().size(), 0);
    }

    void signOut_data()
    {
        QTest::addColumn<bool>("reachable");
        QTest::newRow("server confirms with 204") << true;
        QTest::newRow("server unreachable") << false;
    }

    void signOut()
    {
        QFETCH(bool, reachable);
        const auto model = makeModel();
        QCoro::waitFor(model->start());
        signIn(*model, kUserA);
        QVERIFY(QFile::exists(cachePath()));
        if (!reachable)
            m_fake->stopListening();

        QCOMPARE(QCoro::waitFor(model->signOut()), reachable);
        const QString notRevoked =
            QStringLiteral("Signed out on this computer. The server couldn't be reached, so the session wasn't revoked.");
        QCOMPARE(model->lastError(), reachable ? std::optional<QString>() : std::optional<QString>(notRevoked));
        QVERIFY(!QFile::exists(cachePath()));
        QVERIFY(!model->hasProfile());
        QCOMPARE(model->cacheOwnerID(), std::optional<QUuid>());
        QCOMPARE(model->phaseKind(), Step::SignedOut);
        QCOMPARE(model->sessionKind(), Kind::SignedOut);
        QVERIFY(!model->signingOut());
        QVERIFY(!m_storage->items.contains(BackendClient::sessionKey));
        if (reachable)
            QCOMPARE(m_fake->requests("POST", QStringLiteral("/auth/v1/logout")).size(), 1);
    }

    void signOutWithoutBackend()
    {
        const auto model = makeModel(false);
        QVERIFY(QCoro::waitFor(model->signOut()));
        QCOMPARE(model->sessionKind(), Kind::SignedOut);
        model->prepareSignIn();
        QCOMPARE(model->lastError(), std::optional<QString>(AccountModel::backendUnavailableSentence));
        QVERIFY(!QCoro::waitFor(model->fetchProfile()));
    }

    void profileReadRetries_data()
    {
        QTest::addColumn<int>("failures");
        QTest::addColumn<Step>("phase");
        QTest::newRow("first read fails") << 1 << Step::SignedIn;
        QTest::newRow("both reads fail") << 2 << Step::ProfilePending;
    }

    void profileReadRetries()
    {
        QFETCH(int, failures);
        QFETCH(Step, phase);
        for (int i = 0; i < failures; ++i)
            m_fake->script("GET", kProfilesPath, FakeBackend::postgrestError(503, QStringLiteral("PGRST000"), QStringLiteral("down")));
        const auto model = makeModel();
        QCoro::waitFor(model->start());
        signIn(*model, kUserA);

        QCOMPARE(m_pauses, QList<std::chrono::milliseconds>{300ms});
        // While it waits the sign-in is still being completed.
        QCOMPARE(m_stateDuringPauses, (QList<std::pair<bool, Step>>{{true, Step::Verifying}}));
        QCOMPARE(model->phaseKind(), phase);
        QVERIFY(!model->isLoadingProfile());
        QCOMPARE(m_fake->requests("GET", kProfilesPath).size(), 2);
        QCOMPARE(model->sessionKind(), Kind::Authenticated);
        if (phase == Step::SignedIn)
            return;

        QCOMPARE(model->lastError(), std::optional<QString>(AccountModel::profileNotLoadedSentence));
        QVERIFY(!model->hasProfile());
        QCOMPARE(m_log->events().size(), 0);
        QCoro::waitFor(model->reloadProfile());
        QCOMPARE(m_pauses.size(), 1);
        QCOMPARE(m_fake->requests("GET", kProfilesPath).size(), 3);
        QCOMPARE(model->phaseKind(), Step::SignedIn);
        QCOMPARE(model->lastError(), std::optional<QString>());
    }

    void retryPauseKeepsCountingWhileTheMachineSleeps()
    {
        // A QTimer stands still during suspend; only a wait on the boot-time clock goes on counting.
        QCOMPARE(bootClockTimers(), 0);
        m_fake->script("GET", kProfilesPath, FakeBackend::postgrestError(503, QStringLiteral("PGRST000"), QStringLiteral("down")));
        m_realPauses = true;
        const auto model = makeModel();
        QCoro::waitFor(model->start());
        QCoro::waitFor(model->sendCode(QStringLiteral("ada@example.com"), false));
        auto verifying = model->verifyCode(FakeBackend::validCode);
        QTRY_COMPARE(bootClockTimers(), 1);
        QCoro::waitFor(std::move(verifying));
        QCOMPARE(model->phaseKind(), Step::SignedIn);
        QCOMPARE(m_fake->requests("GET", kProfilesPath).size(), 2);
        QCOMPARE(bootClockTimers(), 0);
    }

    void pausesDouble()
    {
        for (int i = 0; i < 4; ++i)
            m_fake->script("GET", kProfilesPath, FakeBackend::postgrestError(503, QStringLiteral("PGRST000"), QStringLiteral("down")));
        const auto model = makeModel();
        signIn(*model, kUserA);
        m_pauses.clear();
        QCoro::waitFor(model->loadProfileAfterSignIn(3));
        QCOMPARE(m_pauses, (QList<std::chrono::milliseconds>{300ms, 600ms}));
        QCoro::waitFor(model->loadProfileAfterSignIn(0));
        QCOMPARE(m_pauses.size(), 2);
        QCOMPARE(m_fake->requests("GET", kProfilesPath).size(), 2 + 3 + 1);
    }

    void optIn_data()
    {
        QTest::addColumn<bool>("chosen");
        QTest::addColumn<bool>("rowOptIn");
        QTest::addColumn<bool>("refused");
        QTest::addColumn<int>("updates");
        QTest::addColumn<std::optional<bool>>("pendingAfter");
        QTest::addColumn<bool>("profileOptIn");

        QTest::newRow("chosen, not yet stored") << true << false << false << 1 << std::optional<bool>() << true;
        QTest::newRow("chosen, already stored") << true << true << false << 0 << std::optional<bool>() << true;
        QTest::newRow("not chosen") << false << false << false << 0 << std::optional<bool>(false) << false;
        QTest::newRow("refused by the backend") << true << false << true << 1 << std::optional<bool>(true) << false;
    }

    void optIn()
    {
        QFETCH(bool, chosen);
        QFETCH(bool, rowOptIn);
        QFETCH(bool, refused);
        QFETCH(int, updates);
        QFETCH(std::optional<bool>, pendingAfter);
        QFETCH(bool, profileOptIn);

        m_rows[kUserA][QStringLiteral("marketing_opt_in")] = rowOptIn;
        if (refused)
            m_fake->script("PATCH", kProfilesPath, FakeBackend::postgrestError(403, QStringLiteral("42501"), QStringLiteral("permission denied")));
        const auto model = makeModel();
        signIn(*model, kUserA, chosen);

        QCOMPARE(model->phaseKind(), Step::SignedIn);
        QCOMPARE(m_fake->requests("PATCH", kProfilesPath).size(), updates);
        QCOMPARE(model->pendingOptIn(), pendingAfter);
        QCOMPARE(model->profile()->marketingOptIn, profileOptIn);
        QCOMPARE(events(QStringLiteral("account.opt-in")).size(), refused ? 1 : 0);
        QVERIFY(!model->applyingOptIn());
        if (!refused)
            return;
        // The next launch settle tries again, even when its read fails.
        m_clock->advance(1000 * 1000);
        m_fake->script("GET", kProfilesPath, FakeBackend::postgrestError(503, QStringLiteral("PGRST000"), QStringLiteral("down")));
        QCoro::waitFor(model->settleLaunch());
        QCOMPARE(m_fake->requests("PATCH", kProfilesPath).size(), 2);
        QVERIFY(model->profile()->marketingOptIn);
        QCOMPARE(model->pendingOptIn(), std::optional<bool>());
    }

    // The opt-in lands on the profile held when the update returns, not on a copy from before.
    void optInKeepsAReadThatLandedMeanwhile()
    {
        m_fake->script("PATCH", kProfilesPath, FakeBackend::postgrestError(503, QStringLiteral("PGRST000"), QStringLiteral("down")));
        const auto model = makeModel();
        signIn(*model, kUserA, true);
        QCOMPARE(model->pendingOptIn(), std::optional<bool>(true));

        FakeBackend::Reply slow = FakeBackend::Reply::json(200, QJsonArray{m_rows.value(kUserA)});
        slow.delay = 300ms;
        m_fake->script("PATCH", kProfilesPath, slow);
        auto update = model->applyMarketingOptIn(model->accountGeneration());
        QTRY_COMPARE(m_fake->requests("PATCH", kProfilesPath).size(), 2);
        m_rows[kUserA][QStringLiteral("email")] = QStringLiteral("ada.lovelace@example.com");
        m_clock->advance(5000);
        QVERIFY(QCoro::waitFor(model->fetchProfile()));
        QCoro::waitFor(std::move(update));

        const AccountProfile expected{QStringLiteral("ada.lovelace@example.com"), true, m_clock->now()};
        QCOMPARE(model->profile(), std::optional<AccountProfile>(expected));
        QCOMPARE(PersistedAccount::decode(readFile(cachePath()))->profile, expected);
    }

    void settleLaunchRereadsStaleProfiles_data()
    {
        QTest::addColumn<qint64>("ageSeconds");
        QTest::addColumn<int>("reads");
        QTest::newRow("899 s old: kept") << qint64(899) << 0;
        QTest::newRow("900 s old: read again") << qint64(900) << 1;
    }

    void settleLaunchRereadsStaleProfiles()
    {
        QFETCH(qint64, ageSeconds);
        QFETCH(int, reads);
        const auto model = makeModel();
        signIn(*model, kUserA);
        const QList<FakeBackend::Request> before = m_fake->requests("GET", kProfilesPath);
        m_clock->advance(ageSeconds * 1000);

        QCoro::waitFor(model->settleLaunch());
        QCOMPARE(m_fake->requests("GET", kProfilesPath).size(), before.size() + reads);
        const QDateTime expected = reads ? m_clock->now() : m_clock->now().addSecs(-ageSeconds);
        QCOMPARE(model->profile()->fetchedAt, expected);
        QCOMPARE(PersistedAccount::decode(readFile(cachePath()))->profile.fetchedAt, expected);
        QCOMPARE(model->sessionKind(), Kind::Authenticated);
    }

    void settleLaunchForAnotherUser()
    {
        writeFile(cachePath(),
                  R"({"version":1,"ownerID":"3F2B8C1E-5D4A-4E8F-9A7B-1C2D3E4F5A6B","profile":{"email":"ada@example.com","fetchedAt":790171200}})");
        m_fake->userId = kUserB;
        m_fake->userEmail = QStringLiteral("bob@example.com");
        m_storage->items.insert(BackendClient::sessionKey,
                                BackendSession::fromAuthReply(m_fake->issueSession(), m_clock->now())->toStored());
        const auto model = makeModel();
        QCoro::waitFor(model->start());
        QCOMPARE(model->profile()->email, QStringLiteral("ada@example.com"));

        QCoro::waitFor(model->settleLaunch());
        QCOMPARE(model->profile()->email, QStringLiteral("bob@example.com"));
        QCOMPARE(model->cacheOwnerID(), std::optional<QUuid>(kUserB));
        QCOMPARE(model->phaseKind(), Step::ProfilePending);
        QCOMPARE(cachedDocument().value(QLatin1StringView("ownerID")).toString(),
                 kUserB.toString(QUuid::WithoutBraces).toUpper());
    }

    void settleLaunchOffline()
    {
        const auto model = makeModel();
        signIn(*model, kUserA);
        m_clock->advance(3600 * 1000); // the token needs renewing, and the server is gone
        m_fake->stopListening();
        QCoro::waitFor(model->settleLaunch());
        QCOMPARE(model->sessionKind(), Kind::TemporarilyUnavailable);
        QCOMPARE(model->profile()->email, QStringLiteral("ada@example.com"));
        QCOMPARE(model->phaseKind(), Step::SignedIn);
    }

    // Signed in as A, a profile read (or opt-in) is under way when B takes over: whatever A's
    // answer is, B's account stays as B's own operations left it.
    void switchingUsersMidFlight_data()
    {
        QTest::addColumn<QByteArray>("method");
        QTest::addColumn<bool>("throughSignOut");
        QTest::addColumn<bool>("answerFails");
        QTest::newRow("read answers after sign-out and sign-in") << QByteArray("GET") << true << false;
        QTest::newRow("read fails after sign-out and sign-in") << QByteArray("GET") << true << true;
        QTest::newRow("read answers after the session changed user") << QByteArray("GET") << false << false;
        QTest::newRow("opt-in answers after sign-out and sign-in") << QByteArray("PATCH") << true << false;
        QTest::newRow("opt-in fails after sign-out and sign-in") << QByteArray("PATCH") << true << true;
        QTest::newRow("opt-in answers after the session changed user") << QByteArray("PATCH") << false << false;
    }

    void switchingUsersMidFlight()
    {
        QFETCH(QByteArray, method);
        QFETCH(bool, throughSignOut);
        QFETCH(bool, answerFails);

        const auto model = makeModel();
        QCoro::waitFor(model->start());
        const bool optIn = method == "PATCH";
        if (optIn)
            m_fake->script("PATCH", kProfilesPath, FakeBackend::postgrestError(503, QStringLiteral("PGRST000"), QStringLiteral("down")));
        signIn(*model, kUserA, optIn);
        QCOMPARE(model->phaseKind(), Step::SignedIn);

        FakeBackend::Reply late = answerFails
            ? FakeBackend::postgrestError(503, QStringLiteral("PGRST000"), QStringLiteral("down"))
            : FakeBackend::Reply::json(200, optIn ? QJsonValue(QJsonArray{m_rows.value(kUserA)}) : QJsonValue(m_rows.value(kUserA)));
        late.delay = 400ms;
        m_fake->script(method, kProfilesPath, late);
        const qsizetype sent = m_fake->requests(method, kProfilesPath).size();
        auto first = optIn ? model->applyMarketingOptIn(model->accountGeneration())
                           : [](AccountModel *m) -> QCoro::Task<> { co_await m->fetchProfile(); }(model.get());
        QTRY_COMPARE(m_fake->requests(method, kProfilesPath).size(), sent + 1);

        if (throughSignOut) {
            QVERIFY(QCoro::waitFor(model->signOut()));
            signIn(*model, kUserB);
            QCOMPARE(model->phaseKind(), Step::SignedIn);
        } else {
            BackendSession session = *m_current->client()->currentSession();
            session.user = {kUserB, QStringLiteral("bob@example.com")};
            model->applyAuthSession(session);
            QVERIFY(!model->hasProfile()); // A's profile is not B's
        }
        const std::optional<AccountProfile> profileBefore = model->profile();
        const QByteArray cacheBefore = readFile(cachePath());
        QCoro::waitFor(std::move(first));

        QCOMPARE(model->cloudSessionState(), AccountModel::CloudSessionState::authenticated(kUserB));
        QCOMPARE(model->profile(), profileBefore);
        QCOMPARE(readFile(cachePath()), cacheBefore);
        if (throughSignOut) {
            QCOMPARE(model->cacheOwnerID(), std::optional<QUuid>(kUserB));
            QCOMPARE(model->profile()->email, QStringLiteral("bob@example.com"));
            QVERIFY(!model->profile()->marketingOptIn);
            QCOMPARE(model->phaseKind(), Step::SignedIn);
        }
        QVERIFY(!model->applyingOptIn());
        QVERIFY(!model->isLoadingProfile());
    }

    void signOutDuringSignInCompletion()
    {
        FakeBackend::Reply slow = FakeBackend::Reply::json(200, m_rows.value(kUserA));
        slow.delay = 300ms;
        m_fake->script("GET", kProfilesPath, slow);
        const auto model = makeModel();
        QCoro::waitFor(model->sendCode(QStringLiteral("ada@example.com"), false));
        auto verify = model->verifyCode(FakeBackend::validCode);
        QTRY_COMPARE(m_fake->requests("GET", kProfilesPath).size(), 1);
        QVERIFY(QCoro::waitFor(model->signOut()));
        QCoro::waitFor(std::move(verify));
        QCOMPARE(model->phaseKind(), Step::SignedOut);
        QCOMPARE(model->sessionKind(), Kind::SignedOut);
        QVERIFY(!model->hasProfile());
        QVERIFY(!model->isLoadingProfile());
        QVERIFY(!QFile::exists(cachePath()));
    }

    void sessionStates()
    {
        const auto model = makeModel();
        QCoro::waitFor(model->start());
        signIn(*model, kUserA);
        // A session check overtaken by a sign-out leaves the sign-out's state.
        m_clock->advance(3600 * 1000);
        FakeBackend::Reply slowRenewal = FakeBackend::Reply::json(200, m_fake->issueSession());
        slowRenewal.delay = 300ms;
        m_fake->script("POST", QStringLiteral("/auth/v1/token"), slowRenewal);
        auto check = model->refreshSession();
        QCOMPARE(model->sessionKind(), Kind::Checking);
        QVERIFY(QCoro::waitFor(model->signOut()));
        QCoro::waitFor(std::move(check));
        QCOMPARE(model->sessionKind(), Kind::SignedOut);

        QCOMPARE(QCoro::waitFor(model->refreshSession()).kind, Kind::SignedOut);
        model->applyAuthSession(std::nullopt);
        QCOMPARE(model->sessionKind(), Kind::SignedOut);

        // Re-entering ReauthenticationRequired asks for a line each time; the log drops the
        // repeat within a minute.
        writeFile(cachePath(), R"({"email":"ada@example.com"})");
        const auto cached = makeModel();
        QCoro::waitFor(cached->start());
        cached->applySessionState({Kind::ReauthenticationRequired, {}});
        QCOMPARE(events(QStringLiteral("account-session")).size(), 1);
        cached->applySessionState({Kind::Checking, {}});
        m_clock->advance(61 * 1000);
        cached->applySessionState({Kind::ReauthenticationRequired, {}});
        QCOMPARE(events(QStringLiteral("account-session")).size(), 2);
        // A cache without an owner keeps its profile for any user.
        cached->applySessionState(AccountModel::CloudSessionState::authenticated(kUserB));
        QVERIFY(cached->hasProfile());
    }

    // A profile read whose session renewal is overtaken by a sign-out or a reset does not
    // sign back in.
    void readOvertakenBySignOut_data()
    {
        QTest::addColumn<bool>("signOut");
        QTest::newRow("sign-out") << true;
        QTest::newRow("reset") << false;
    }

    void readOvertakenBySignOut()
    {
        QFETCH(bool, signOut);
        const auto model = makeModel();
        signIn(*model, kUserA);
        m_clock->advance(3600 * 1000);
        FakeBackend::Reply slowRenewal = FakeBackend::Reply::json(200, m_fake->issueSession());
        slowRenewal.delay = 300ms;
        m_fake->script("POST", QStringLiteral("/auth/v1/token"), slowRenewal);
        auto read = model->fetchProfile();
        const QByteArray cache = readFile(cachePath());
        if (signOut)
            QVERIFY(QCoro::waitFor(model->signOut()));
        else
            model->resetSignIn();
        const AccountModel::CloudSessionState state = model->cloudSessionState();
        QVERIFY(QCoro::waitFor(std::move(read)));
        QCOMPARE(model->cloudSessionState(), state);
        QCOMPARE(model->sessionKind(), signOut ? Kind::SignedOut : Kind::ReauthenticationRequired);
        QCOMPARE(readFile(cachePath()), signOut ? QByteArray() : cache);
    }

    void failedCacheWriteIsReportedThenCleared()
    {
        const auto model = makeModel();
        QVERIFY(QDir().mkpath(cachePath())); // a folder where the file goes makes the write fail
        signIn(*model, kUserA);
        QCOMPARE(model->persistenceIssue(), std::optional<QString>(AccountModel::cacheWriteFailedSentence));
        QCOMPARE(events(QStringLiteral("account-cache")).size(), 1);
        QVERIFY(model->hasProfile());

        QVERIFY(QDir(cachePath()).removeRecursively());
        model->writeCache(*model->profile());
        QCOMPARE(model->persistenceIssue(), std::optional<QString>());
        QCOMPARE(cachedDocument().value(QLatin1StringView("ownerID")).toString(),
                 kUserA.toString(QUuid::WithoutBraces).toUpper());
    }

    void prepareSignInForgetsOldCodes_data()
    {
        QTest::addColumn<qint64>("ageSeconds");
        QTest::addColumn<Step>("phase");
        QTest::newRow("3599 s") << qint64(3599) << Step::CodeSent;
        QTest::newRow("3600 s") << qint64(3600) << Step::SignedOut;
    }

    void prepareSignInForgetsOldCodes()
    {
        QFETCH(qint64, ageSeconds);
        QFETCH(Step, phase);
        const auto model = makeModel();
        QCoro::waitFor(model->sendCode(QStringLiteral("ada@example.com"), true));
        m_clock->advance(ageSeconds * 1000);
        model->prepareSignIn();
        QCOMPARE(model->phaseKind(), phase);
        QCOMPARE(model->pendingOptIn(), phase == Step::CodeSent ? std::optional<bool>(true) : std::optional<bool>());
    }
};

QTEST_GUILESS_MAIN(tst_AccountModel)
#include "tst_AccountModel.moc"
