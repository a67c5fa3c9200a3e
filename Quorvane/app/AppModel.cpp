// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "app/AppModel.h"

#include "backend/BackendClient.h"
#include "cli/Discovery.h"
#include "cli/OperationRegistry.h"
#include "cli/RegistryReader.h"
#include "cli/StatusQueries.h"
#include "foundation/LocaleOrder.h"
#include "foundation/ReferenceSeconds.h"
#include "kit/KitServices.h"
#include "panel/PanelServices.h"
#include "onboarding/ReleaseNotes.h"
#include "platform/AppInfo.h"
#include "platform/BundleInfo.h"
#include "platform/DataFolder.h"
#include "platform/SystemInfo.h"

#include <QCoro/QCoroFuture>
#include <QDBusConnection>
#include <QPointer>

#include <algorithm>
#include <memory>

namespace {

SystemLog &chosenLog(SystemLog *given, std::unique_ptr<SystemLog> &journal)
{
    if (given)
        return *given;
    journal = std::make_unique<JournalLog>();
    return *journal;
}

AccountModel::Environment accountEnvironment(AppModel::Environment &environment, const QString &folder,
                                             const Clock &clock, ErrorLog &errorLog)
{
    AccountModel::Environment account;
    account.storageFolder = folder;
    account.clock = &clock;
    account.errorLog = &errorLog;
    account.sessionStorage = environment.sessionStorage;
    account.pause = std::move(environment.accountPause);
    account.networkUp = std::move(environment.networkUp);
    return account;
}

// Every server name an interrupted registry change mentions.
QSet<QString> namesOf(const Project::RegistryIntent &intent)
{
    return std::visit(
        [](const auto &change) -> QSet<QString> {
            using Change = std::decay_t<decltype(change)>;
            if constexpr (std::is_same_v<Change, Project::RegistryIntent::Rename>)
                return {change.from, change.to};
            else
                return {change.name};
        },
        intent.change);
}

} // namespace

template <typename T>
void AppModel::assign(T &field, const T &value, void (AppModel::*changed)())
{
    if (field == value)
        return;
    field = value;
    Q_EMIT(this->*changed)();
}

AppModel::AppModel(Environment environment, QObject *parent)
    : QObject(parent)
    , m_errorLog(chosenLog(environment.systemLog, m_journal), std::move(environment.errorGateway),
                 std::move(environment.errorReportDelay))
    , m_clock(environment.clock ? *environment.clock : Clock::system())
    , m_baseFolder(environment.baseFolder.isEmpty() ? DataFolder::path() : environment.baseFolder)
    , m_storeWriter(environment.storeWriter ? std::move(environment.storeWriter) : AtomicWriter(StoreFile::writeAtomically))
    , m_driver(std::move(environment.driver))
    , m_icons(environment.iconFolder.isEmpty() ? resourceBundle().directory() : environment.iconFolder)
    , m_connectingPill(environment.pillDelay ? std::move(environment.pillDelay) : ContinuousClock::delay())
    , m_notifications(environment.notifications ? std::make_unique<UserNotifications>(QDBusConnection::sessionBus())
                                                : nullptr)
    , m_connectionStore(m_baseFolder, storeEnvironment())
    , m_projectStore(m_baseFolder, storeEnvironment())
    , m_siteDirectory(m_baseFolder, storeEnvironment())
    , m_scheduleStore(m_errorLog, m_clock, m_baseFolder,
                      environment.schedulePollDelay ? std::move(environment.schedulePollDelay) : ContinuousClock::delay(),
                      false, m_storeWriter, nullptr, m_notifications.get())
    , m_publishAccess(m_errorLog, m_clock, m_baseFolder, m_connectingPill,
                      environment.consentReturnBackend ? environment.consentReturnBackend
                      : environment.backend            ? std::optional<QUrl>(environment.backend->url)
                                                       : std::nullopt,
                      std::move(environment.publishAccess))
    , m_account(std::move(environment.backend), accountEnvironment(environment, m_baseFolder, m_clock, m_errorLog))
    , m_activity(m_driver, m_clock)
    , m_authorizer(*this)
    , m_cloud(*this, std::move(environment.panelActivator))
    , m_publishing(*this)
    , m_renamer(*this)
    , m_removal(*this)
    , m_adding(*this)
    , m_connecting(*this)
    , m_claudeSignIn(*this)
    , m_projectActions(*this)
    , m_defaults(environment.settingsFile)
    , m_schedulingContext(*this)
    , m_loginItem(environment.loginItem ? std::move(*environment.loginItem) : LoginItem::application())
    , m_launchAtLogin(m_loginItem.isEnabled())
    , m_operatingSystem(environment.operatingSystem.isEmpty() ? SystemInfo::operatingSystem()
                                                              : std::move(environment.operatingSystem))
    , m_version(environment.version.isEmpty() ? appVersion() : std::move(environment.version))
    , m_releaseNotes(std::move(environment.releaseNotes))
    , m_smokeTest(environment.smokeTest)
{
    // The client renews the session on its own; a refused renewal is only heard through its
    // changes, and the account must learn of it even before the cloud bootstrap runs, or it would
    // go on showing a session the backend no longer honours.
    if (BackendClient *client = m_account.client())
        m_cloud.startCloudAuthWatch(*client);
    m_cloud.setApplicationActivator(std::move(environment.applicationActivator));
    if (m_notifications)
        m_cloud.listenForTaps(*m_notifications);
    followPersistenceIssues();
    ActivityCenter::Hooks activityHooks;
    activityHooks.startRetry = [this](const QString &subject) {
        if (subject == ClaudeCLI::claudeAuthKey())
            (void)m_claudeSignIn.signInToClaude();
        else
            m_authorizer.authorize(subject);
    };
    activityHooks.cancelPublishing = [this](const QUuid &activityId) { m_publishing.cancelConnectFor(activityId); };
    activityHooks.closed = [this] { m_cloud.presentQueuedOAuthCancellationNotice(); };
    m_activity.setHooks(std::move(activityHooks));
    // The end of a publishing connect may let a held OAuth-cancellation notice show.
    connect(&m_publishing, &PublishingFlows::publishConnectChanged, &m_cloud, [this] {
        if (!m_publishing.publishConnectOperationID())
            m_cloud.presentQueuedOAuthCancellationNotice();
    });
    // A project's title or site shows on its connection's row.
    connect(&m_projectStore, &ProjectStore::projectsChanged, this, &AppModel::updateConnectionRows);
    connect(&m_renamer, &RenameFlow::addErrorRaised, &m_adding,
            [this](const QString &sentence) { m_adding.setAddError(sentence); });
    if (!m_smokeTest)
        m_updater = std::make_unique<UpdaterController>(m_confirms, m_version);
}

AppModel::AppModel()
    : AppModel([] {
        Environment environment;
        environment.backend = BackendConfiguration::fromInfo(BundleInfo::main());
        environment.smokeTest = qgetenv("QUORVANE_SMOKE") == "1";
        environment.notifications = true;
        environment.releaseNotes = &ReleaseNotes::linesFor;
        return environment;
    }())
{
}

AppModel::~AppModel()
{
    // Requests still waiting for the backend end here, while everything their callers resume
    // into is whole: left to go with the client's network manager, their replies would never
    // finish and the coroutines waiting on them would never end.
    if (BackendClient *client = m_account.client())
        client->cancelAll();
}

LocalStore::Environment AppModel::storeEnvironment()
{
    return {m_clock, m_errorLog.recorder(), m_storeWriter};
}

void AppModel::followPersistenceIssues()
{
    m_shownPersistenceIssue = persistenceIssue();
    const auto recheck = [this] {
        const std::optional<QString> issue = persistenceIssue();
        if (issue == m_shownPersistenceIssue)
            return;
        m_shownPersistenceIssue = issue;
        Q_EMIT persistenceIssueChanged();
    };
    connect(&m_connectionStore, &LocalStore::persistenceIssueChanged, this, recheck);
    connect(&m_projectStore, &LocalStore::persistenceIssueChanged, this, recheck);
    connect(&m_siteDirectory, &LocalStore::persistenceIssueChanged, this, recheck);
    connect(&m_scheduleStore, &ScheduleStore::persistenceIssueChanged, this, recheck);
    connect(&m_publishAccess, &PublishAccessStore::persistenceIssueChanged, this, recheck);
    connect(&m_account, &AccountModel::persistenceIssueChanged, this, recheck);
}

std::optional<QString> AppModel::persistenceIssue() const
{
    for (const QString *issue : {&m_connectionStore.persistenceIssue(), &m_projectStore.persistenceIssue(),
                                 &m_siteDirectory.persistenceIssue()}) {
        if (!issue->isEmpty())
            return *issue;
    }
    if (m_scheduleStore.persistenceIssue())
        return m_scheduleStore.persistenceIssue();
    if (m_publishAccess.persistenceIssue())
        return m_publishAccess.persistenceIssue();
    return m_account.persistenceIssue();
}

QStringList AppModel::busyNames() const
{
    QStringList names(m_busy.cbegin(), m_busy.cend());
    std::sort(names.begin(), names.end());
    return names;
}

void AppModel::setConnections(QList<Connection> connections)
{
    if (connections == m_connections)
        return;
    m_connections = std::move(connections);
    updateConnectionRows();
}

void AppModel::setUnrecognized(QList<UnrecognizedServer> servers)
{
    if (servers == m_unrecognized)
        return;
    m_unrecognized = std::move(servers);
    m_unrecognizedRows.update(m_unrecognized);
}

void AppModel::setBusy(const QString &name, bool busy)
{
    if (m_busy.contains(name) == busy)
        return;
    if (busy)
        m_busy.insert(name);
    else
        m_busy.remove(name);
    updateConnectionRows();
    Q_EMIT busyChanged();
}

void AppModel::updateConnectionRows()
{
    m_connectionRows.update(m_connections, m_projectStore.projects(), m_busy);
}

QCoro::Task<bool> AppModel::refresh(bool force)
{
    if (!force && m_isRefreshing)
        co_return false;
    const quint64 generation = ++m_refreshGeneration;
    setIsRefreshing(true);
    m_statusChecksInFlight.clear();

    // The file is read off the GUI thread; everything after the read happens in one go, so no
    // other model code sees the registry half applied.
    QPointer<AppModel> alive(this);
    const ClaudeCLI::RegistryRead read = co_await ClaudeCLI::readRegistry(m_driver);
    if (!alive)
        co_return true;
    if (generation != m_refreshGeneration) {
        // A forced refresh started meanwhile and applies its own, newer read.
        co_return true;
    }

    assign(m_loadError, read.error, &AppModel::loadErrorChanged);
    setUnrecognized(read.unrecognized);
    QStringList managedNames;
    if (read.error) {
        m_errorLog.record(QStringLiteral("registry"), *read.error, m_clock.now());
    } else {
        QList<Connection> connections;
        QSet<QString> managed;
        QSet<QString> known;
        for (const ClaudeCLI::RegisteredServer &server : read.servers) {
            managedNames.append(server.name);
            managed.insert(server.name);
            known.insert(server.name);
            connections.append({server.name, std::optional<QString>(server.url), ConnectionStatus::checking, std::nullopt});
        }
        QSet<QString> present = managed;
        for (const UnrecognizedServer &server : read.unrecognized) {
            known.insert(server.name);
            // Entries of one folder or of the other lane hold no name in this lane's user scope.
            if (server.reason != UnrecognizedServer::Reason::projectScoped
                && server.reason != UnrecognizedServer::Reason::foreignLane)
                present.insert(server.name);
        }
        recoverInterruptedOperations(present);
        reconcile(connections, managed, known);
    }
    assign(m_isLoading, false, &AppModel::isLoadingChanged);
    assign(m_launchAtLogin, m_loginItem.isEnabled(), &AppModel::launchAtLoginChanged);

    co_await runStatusChecks(managedNames, generation);
    if (!alive)
        co_return true;
    co_await refreshEnvironment(false);
    if (!alive)
        co_return true;
    finishRefresh(generation);
    co_return true;
}

void AppModel::reconcile(const QList<Connection> &fromRegistry, const QSet<QString> &managed,
                         const QSet<QString> &known)
{
    // Each store answers a failed save itself, through its persistence problem; the refresh goes on.
    (void)m_connectionStore.prune(known);
    (void)m_connectionStore.backfillAddedAt(known, managed);

    QHash<QString, ConnectionStatus> previous;
    for (const Connection &connection : std::as_const(m_connections))
        previous.insert(connection.name, connection.status);
    QList<Connection> connections = fromRegistry;
    for (Connection &connection : connections) {
        // A known connection keeps what it last showed until its live check reports.
        connection.status = previous.value(connection.name, ConnectionStatus::checking);
        connection.meta = m_connectionStore.meta(connection.name);
    }
    setConnections(connections);

    QSet<QString> projectSites;
    QSet<QString> intentNames;
    for (const Project &project : m_projectStore.projects()) {
        if (project.siteId)
            projectSites.insert(*project.siteId);
        if (project.registryIntent) {
            intentNames.unite(namesOf(*project.registryIntent));
        }
    }
    (void)m_siteDirectory.reconcile(m_connections, m_publishAccess.trackedSiteIDs(), projectSites,
                                    projectSiteTitles());
    // A name an interrupted rename or removal mentions belongs to that project, not to a new one.
    QList<Connection> unclaimed;
    for (const Connection &connection : std::as_const(m_connections)) {
        if (!intentNames.contains(connection.name))
            unclaimed.append(connection);
    }
    (void)m_projectStore.adoptUnclaimedConnections(unclaimed);
    (void)m_projectStore.reconcileSites(m_siteDirectory.sites());
    m_statusChecksInFlight = managed;
}

void AppModel::recoverInterruptedOperations(const QSet<QString> &registryNames)
{
    using Intent = Project::RegistryIntent;
    constexpr auto recovery = Project::IssueRecovery::reconcileRegistry;
    // A failing store says so through its own persistence problem; recovery retries next time.
    const auto explain = [this](const QString &issue, const QString &name) {
        (void)m_projectStore.setIssue(issue, name, Project::IssueRecovery::reconcileRegistry);
    };
    const QList<Project> snapshot = m_projectStore.projects();
    for (const Project &project : snapshot) {
        // Its intent is not an interrupted one: the removal settles it, or leaves it when it stops.
        if (m_removal.isRemoving(project.id))
            continue;
        if (!project.registryIntent) {
            // An explanation of an interrupted operation outlives the operation by one refresh.
            if (project.issueRecovery == recovery)
                (void)m_projectStore.setIssue(std::nullopt, project.mcpName, std::nullopt);
            continue;
        }
        const auto &change = project.registryIntent->change;
        if (const auto *unregister = std::get_if<Intent::Unregister>(&change)) {
            if (registryNames.contains(unregister->name)) {
                if (!m_projectStore.clearRegistryIntent(project.id))
                    explain(QStringLiteral("The interrupted unregister did not change Claude's registry. The connection "
                                           "was kept; retry the action if you still want to disconnect it."),
                            project.mcpName);
            } else if (m_connectionStore.removeMeta(unregister->name)) {
                explain(QStringLiteral("Claude no longer has this registration, but local connection metadata is "
                                       "read-only. Restore persistence, then refresh to finish recovery."),
                        project.mcpName);
            } else {
                (void)m_projectStore.clearRegistryIntent(project.id);
            }
        } else if (const auto *remove = std::get_if<Intent::Remove>(&change)) {
            if (registryNames.contains(remove->name)) {
                if (!m_projectStore.clearRegistryIntent(project.id))
                    explain(QStringLiteral("The interrupted removal did not change Claude's registry. The project was "
                                           "kept; use Remove Project again if you still want to remove it."),
                            project.mcpName);
            } else if (m_connectionStore.removeMeta(remove->name)) {
                explain(QStringLiteral("Claude removed this registration, but local connection metadata is read-only. "
                                       "Restore persistence, then refresh to finish removing the project."),
                        project.mcpName);
            } else {
                (void)m_projectStore.remove(project.id);
            }
        } else if (const auto *rename = std::get_if<Intent::Rename>(&change)) {
            const bool oldPresent = registryNames.contains(rename->from);
            const bool newPresent = registryNames.contains(rename->to);
            if (!oldPresent && newPresent) {
                ConnectionMeta fallback;
                fallback.addedAt = ReferenceSeconds::Instant(m_clock.now());
                if (m_connectionStore.renameMeta(rename->from, rename->to, fallback))
                    explain(QStringLiteral("Claude completed the rename, but local connection metadata is read-only. "
                                           "Restore persistence, then refresh to finish recovery."),
                            rename->from);
                else if (m_projectStore.setMCPName(project.id, rename->to))
                    explain(QStringLiteral("Claude completed the rename, but the project could not be updated "
                                           "locally. Restore project persistence, then refresh."),
                            rename->from);
            } else if (oldPresent && newPresent) {
                explain(QStringLiteral("Both the old and new MCP names exist after an interrupted rename. Remove the "
                                       "unintended registration, then refresh to finish recovery."),
                        rename->from);
            } else if (!oldPresent) {
                explain(QStringLiteral("Neither MCP name exists after an interrupted rename. Restore either the old "
                                       "or new registration, then refresh to finish recovery."),
                        rename->from);
            } else if (!m_projectStore.clearRegistryIntent(project.id)) {
                explain(QStringLiteral("The interrupted rename left the original registration intact. Retry Rename "
                                       "MCP if you still want the new name."),
                        rename->from);
            }
        }
    }
}

QHash<QString, QString> AppModel::projectSiteTitles() const
{
    QHash<QString, QString> titles;
    for (const Project &project : m_projectStore.projects()) {
        if (project.siteId && !titles.contains(*project.siteId))
            titles.insert(*project.siteId, project.title);
    }
    return titles;
}

QStringList AppModel::knownSiteIDs() const
{
    QSet<QString> unclaimed = m_publishAccess.trackedSiteIDs();
    for (const Project &project : m_projectStore.projects()) {
        // A project bound to a site the directory lacks claims nothing; only an unbound one falls
        // back to the record that lists its server.
        if (project.siteId) {
            if (m_siteDirectory.site(*project.siteId))
                unclaimed.remove(*project.siteId);
            continue;
        }
        if (const std::optional<SiteRecord> listing = m_siteDirectory.siteListing(project.mcpName))
            unclaimed.remove(listing->id);
    }
    QStringList ids(unclaimed.cbegin(), unclaimed.cend());
    sortByLocaleText(ids, [this](const QString &id) { return siteDisplayName(id); });
    return ids;
}

QString AppModel::siteDisplayName(const QString &siteId) const
{
    if (const std::optional<SiteRecord> record = m_siteDirectory.site(siteId))
        return record->displayName();
    return m_publishAccess.siteNames().value(siteId, siteId);
}

QCoro::Task<> AppModel::runStatusChecks(QStringList names, quint64 generation)
{
    if (names.isEmpty())
        co_return;
    QSet<QString> wasConnected;
    for (const Connection &connection : std::as_const(m_connections)) {
        if (connection.status == ConnectionStatus::connected)
            wasConnected.insert(connection.name);
    }
    QHash<QString, quint64> evidence;
    for (const QString &name : std::as_const(names))
        evidence.insert(name, m_evidenceGenerations.value(name));

    // A few workers take names in list order, so a new query starts as soon as one ends.
    struct Queue
    {
        QStringList names;
        qsizetype next = 0;
    };
    auto queue = std::make_shared<Queue>(Queue{std::move(names), 0});
    QPointer<AppModel> alive(this);
    ClaudeCLI::ClaudeDriver &driver = m_driver;
    const auto worker = [](QPointer<AppModel> alive, ClaudeCLI::ClaudeDriver &driver, std::shared_ptr<Queue> queue,
                           QSet<QString> wasConnected, QHash<QString, quint64> evidence,
                           quint64 generation) -> QCoro::Task<> {
        while (alive && queue->next < queue->names.size()) {
            const QString name = queue->names.at(queue->next++);
            ConnectionStatus status = co_await ClaudeCLI::serverStatus(driver, name);
            if (!alive)
                co_return;
            // A connection that worked a moment ago gets a second chance before it shows as broken.
            if (wasConnected.contains(name)
                && (status == ConnectionStatus::degraded || status == ConnectionStatus::failed
                    || status == ConnectionStatus::timedOut || status == ConnectionStatus::unknown)) {
                status = co_await ClaudeCLI::serverStatus(driver, name);
                if (!alive)
                    co_return;
            }
            alive->applyStatus(name, status, generation, evidence.value(name));
        }
    };
    std::vector<QCoro::Task<>> workers;
    const qsizetype count = std::min<qsizetype>(maxConcurrentStatusChecks, queue->names.size());
    for (qsizetype i = 0; i < count; ++i)
        workers.push_back(worker(alive, driver, queue, wasConnected, evidence, generation));
    for (QCoro::Task<> &running : workers)
        co_await running;
}

void AppModel::applyStatus(const QString &name, ConnectionStatus status, quint64 generation, quint64 evidence)
{
    if (generation != m_refreshGeneration)
        return;
    m_statusChecksInFlight.remove(name);
    if (m_evidenceGenerations.value(name) != evidence)
        return;
    const auto found = std::find_if(m_connections.begin(), m_connections.end(),
                                    [&](const Connection &connection) { return connection.name == name; });
    if (found == m_connections.end() || found->status == status)
        return;
    found->status = status;
    updateConnectionRows();
}

void AppModel::noteEvidence(const QString &name)
{
    ++m_evidenceGenerations[name];
}

QCoro::Task<> AppModel::refreshEnvironment(bool force)
{
    if (!force && m_environmentCheckedAt.isValid()
        && m_environmentCheckedAt.secsTo(m_clock.now()) <= environmentFreshSeconds)
        co_return;
    if (!m_environment.binary)
        m_driver.discovery().forgetBinaryLocation();
    m_environmentCheckedAt = m_clock.now();
    QPointer<AppModel> alive(this);
    CLIEnvironment environment = co_await m_driver.discovery().detectEnvironment();
    if (!alive)
        co_return;
    const bool changed = environment != m_environment;
    m_environment = std::move(environment);
    m_environmentCheckedAt = m_clock.now();
    if (changed)
        Q_EMIT environmentChanged();
}

void AppModel::setIsRefreshing(bool refreshing)
{
    assign(m_isRefreshing, refreshing, &AppModel::isRefreshingChanged);
}

void AppModel::finishRefresh(quint64 generation)
{
    if (generation == m_refreshGeneration)
        setIsRefreshing(false);
}

QCoro::Task<> AppModel::bootstrap()
{
    if (m_didBootstrap) {
        co_await refresh(false);
        co_return;
    }
    // Set before the first await, so a second call meanwhile only refreshes.
    m_didBootstrap = true;
    if (!m_smokeTest)
        applyFirstRunDefaults();
    QPointer<AppModel> alive(this);
    co_await refreshClaudeAuth();
    if (!alive)
        co_return;
    QCoro::Task<> settling = m_account.settleLaunch();
    co_await refreshEnvironment(true);
    if (!alive)
        co_return;
    co_await refresh(true);
    if (!alive)
        co_return;
    co_await settling;
}

void AppModel::applyFirstRunDefaults()
{
    if (!m_defaults.boolValue(QStringLiteral("didDefaultLaunchAtLogin"))) {
        m_defaults.setBool(QStringLiteral("didDefaultLaunchAtLogin"), true);
        if (!m_loginItem.isEnabled())
            (void)m_loginItem.setEnabled(true); // a refusal shows as the toggle staying off
        assign(m_launchAtLogin, m_loginItem.isEnabled(), &AppModel::launchAtLoginChanged);
    }
    if (!m_defaults.boolValue(QStringLiteral("hasSeenIntro"))) {
        assign(m_showingIntro, true, &AppModel::showingIntroChanged);
        m_defaults.setBool(QStringLiteral("hasSeenIntro"), true);
    }
    if (m_version.isEmpty())
        return;
    const QString lastSeenKey = QStringLiteral("lastSeenVersion");
    if (!m_defaults.contains(lastSeenKey) || m_defaults.stringValue(lastSeenKey) == m_version) {
        m_defaults.setString(lastSeenKey, m_version);
    } else if (!m_showingIntro) {
        // While the intro shows, the card waits for a launch without it.
        assign(m_whatsNew, m_releaseNotes ? m_releaseNotes(m_version) : std::nullopt, &AppModel::whatsNewChanged);
        m_defaults.setString(lastSeenKey, m_version);
    }
}

void AppModel::setShowingIntro(bool showing)
{
    assign(m_showingIntro, showing, &AppModel::showingIntroChanged);
}

void AppModel::dismissWhatsNew()
{
    assign(m_whatsNew, std::optional<QStringList>(), &AppModel::whatsNewChanged);
}

QCoro::Task<> AppModel::refreshClaudeAuth()
{
    QPointer<AppModel> alive(this);
    const quint64 check = ++m_claudeAuthCheck;
    const ClaudeCLI::AuthStatus status = co_await ClaudeCLI::authStatus(m_driver);
    // A slow answer to an earlier check would otherwise undo a newer one.
    if (alive && check == m_claudeAuthCheck)
        assign(m_claudeAuth, status, &AppModel::claudeAuthChanged);
}

void AppModel::recheckClaudeAuth()
{
    refreshClaudeAuth();
}

void AppModel::setClaudeAuth(const ClaudeCLI::AuthStatus &status)
{
    ++m_claudeAuthCheck;
    assign(m_claudeAuth, status, &AppModel::claudeAuthChanged);
}

QString AppModel::claudeAuthState() const
{
    switch (m_claudeAuth.state) {
    case ClaudeCLI::AuthStatus::State::signedIn:
        return QStringLiteral("signedIn");
    case ClaudeCLI::AuthStatus::State::signedOut:
        return QStringLiteral("signedOut");
    case ClaudeCLI::AuthStatus::State::unknown:
        break;
    }
    return QStringLiteral("unknown");
}

QString AppModel::diagnosticsReport() const
{
    QStringList lines{QStringLiteral("Quorvane ") + appVersion(), m_operatingSystem};
    if (m_environment.binary) {
        QString cli = QStringLiteral("Claude CLI: ")
            + (m_environment.version ? m_environment.version->description() : QStringLiteral("unknown version"));
        if (!m_environment.supportsLogin)
            cli += QStringLiteral(" (no in-app authorize)");
        lines.append(cli);
    } else {
        lines.append(QStringLiteral("Claude CLI: not found"));
    }
    if (const qsizetype broken = m_environment.brokenInstalls().size())
        lines.append(QStringLiteral("Broken Claude installs ignored: %1").arg(broken));
    lines.append(QStringLiteral("Connections: %1").arg(m_connections.size()));
    if (!m_unrecognized.isEmpty())
        lines.append(QStringLiteral("Unrecognized entries: %1").arg(m_unrecognized.size()));
    lines.append(QStringLiteral("Account profile cache: ")
                 + (m_account.hasProfile() ? QStringLiteral("present") : QStringLiteral("missing")));
    QString session;
    switch (m_account.sessionKind()) {
    case AccountModel::SessionKind::Authenticated:
        session = QStringLiteral("authenticated");
        break;
    case AccountModel::SessionKind::Checking:
        session = QStringLiteral("checking");
        break;
    case AccountModel::SessionKind::SignedOut:
        session = QStringLiteral("signed out");
        break;
    case AccountModel::SessionKind::ReauthenticationRequired:
        session = QStringLiteral("reauthentication required");
        break;
    case AccountModel::SessionKind::TemporarilyUnavailable:
        session = QStringLiteral("temporarily unavailable");
        break;
    }
    lines.append(QStringLiteral("Cloud session: ") + session);
    if (m_claudeAuth.state == ClaudeCLI::AuthStatus::State::signedOut)
        lines.append(QStringLiteral("Claude Code: signed out"));
    if (m_loadError)
        lines.append(QStringLiteral("Load error: ") + *m_loadError);
    return QStringLiteral("Send to: ") + supportAddress + QStringLiteral("\n\n") + lines.join(u'\n')
        + QStringLiteral("\n\nPlease describe what happened, and what you expected instead:\n");
}

void AppModel::setLaunchAtLogin()
{
    if (const std::optional<QString> failure = m_loginItem.setEnabled(!m_loginItem.isEnabled()))
        m_errorLog.record(QStringLiteral("launch-at-login"), *failure, m_clock.now());
    assign(m_launchAtLogin, m_loginItem.isEnabled(), &AppModel::launchAtLoginChanged);
}

void AppModel::setPanelIsOpen(bool open)
{
    if (m_panelIsOpen == open)
        return;
    m_panelIsOpen = open;
    Q_EMIT panelIsOpenChanged();
}

void AppModel::attach(QQmlEngine &engine)
{
    new KitServices(engine, m_icons);
    new PanelServices(engine, m_clock);
}

void AppModel::openIntro()
{
    assign(m_showingIntro, true, &AppModel::showingIntroChanged);
}
