// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "app/AppModel.h"

#include "backend/BackendClient.h"
#include "kit/KitServices.h"
#include "platform/AppInfo.h"
#include "platform/BundleInfo.h"
#include "platform/DataFolder.h"

#include <algorithm>

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

} // namespace

AppModel::AppModel(Environment environment, QObject *parent)
    : QObject(parent)
    , m_errorLog(chosenLog(environment.systemLog, m_journal))
    , m_clock(environment.clock ? *environment.clock : Clock::system())
    , m_baseFolder(environment.baseFolder.isEmpty() ? DataFolder::path() : environment.baseFolder)
    , m_storeWriter(environment.storeWriter ? std::move(environment.storeWriter) : AtomicWriter(StoreFile::writeAtomically))
    , m_driver(std::move(environment.driver))
    , m_icons(environment.iconFolder.isEmpty() ? resourceBundle().directory() : environment.iconFolder)
    , m_connectingPill(environment.pillDelay ? std::move(environment.pillDelay) : ContinuousClock::delay())
    , m_connectionStore(m_baseFolder, storeEnvironment())
    , m_projectStore(m_baseFolder, storeEnvironment())
    , m_siteDirectory(m_baseFolder, storeEnvironment())
    , m_scheduleStore(m_errorLog, m_clock, m_baseFolder,
                      environment.schedulePollDelay ? std::move(environment.schedulePollDelay) : ContinuousClock::delay(),
                      false, m_storeWriter)
    , m_publishAccess(m_errorLog, m_clock, m_baseFolder, [this] { m_connectingPill.dismiss(); })
    , m_account(std::move(environment.backend), accountEnvironment(environment, m_baseFolder, m_clock, m_errorLog))
{
    // The client renews the session on its own; a refused renewal is only heard here, and the
    // account must learn of it or it would go on showing a session the backend no longer honours.
    if (BackendClient *client = m_account.client()) {
        connect(client, &BackendClient::authChanged, &m_account,
                [this](BackendClient::AuthEvent, const std::optional<BackendSession> &session) {
                    m_account.applyAuthSession(session);
                });
    }
    followPersistenceIssues();
    // A project's title or site shows on its connection's row.
    connect(&m_projectStore, &ProjectStore::projectsChanged, this, &AppModel::updateConnectionRows);
}

AppModel::AppModel()
    : AppModel([] {
        Environment environment;
        environment.backend = BackendConfiguration::fromInfo(BundleInfo::main());
        return environment;
    }())
{
}

AppModel::~AppModel() = default;

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
}
