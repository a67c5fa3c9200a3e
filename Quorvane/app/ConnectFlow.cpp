// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "app/ConnectFlow.h"

#include "app/AppModel.h"
#include "app/ServerRegistration.h"
#include "cli/RegistryReader.h"
#include "cli/StatusQueries.h"
#include "foundation/DisplayText.h"
#include "foundation/ServerNames.h"

#include <QCoro/QCoroFuture>
#include <QPointer>

#include <algorithm>

namespace {

constexpr qsizetype kShownTitleLength = 120;

bool listsName(const ClaudeCLI::RegistryRead &read, const QString &name)
{
    const auto named = [&name](const auto &entry) { return entry.name == name; };
    return std::any_of(read.servers.cbegin(), read.servers.cend(), named)
        || std::any_of(read.unrecognized.cbegin(), read.unrecognized.cend(), named);
}

// An answer that may be a passing hiccup rather than the server's state.
bool isDoubtful(ConnectionStatus status)
{
    return status == ConnectionStatus::degraded || status == ConnectionStatus::failed
        || status == ConnectionStatus::timedOut || status == ConnectionStatus::unknown;
}

} // namespace

ConnectFlow::ConnectFlow(AppModel &model, QObject *parent)
    : QObject(parent)
    , m_model(model)
{
}

QString ConnectFlow::reauthenticateMessage(ConnectionStatus status)
{
    switch (status) {
    case ConnectionStatus::connected:
        return QStringLiteral("Claude reports this MCP is already live. Re-authentication replaces its current Webflow "
                              "authorization and then verifies the site scope again.");
    case ConnectionStatus::degraded:
        return QStringLiteral("The MCP is registered and reachable, but Claude could not load its tools. "
                              "Re-authentication replaces its Webflow authorization. Continue?");
    case ConnectionStatus::needsAuth:
        return QStringLiteral("The MCP is already registered, and Claude reports that its Webflow authorization needs "
                              "attention. Re-authenticate it now?");
    case ConnectionStatus::failed:
        return QStringLiteral("The MCP is already registered, but its live health check failed. Re-authentication "
                              "replaces its Webflow authorization. Continue?");
    case ConnectionStatus::checking:
    case ConnectionStatus::missing:
    case ConnectionStatus::timedOut:
    case ConnectionStatus::unknown:
        break;
    }
    return QStringLiteral("The MCP is already registered, but Quorvane could not confirm its live health. "
                          "Re-authentication replaces its Webflow authorization. Continue?");
}

QString ConnectFlow::attentionMessage(UnrecognizedServer::Reason reason)
{
    using Reason = UnrecognizedServer::Reason;
    switch (reason) {
    case Reason::unsafeName:
        return QStringLiteral("The registered name contains characters this app will not pass to the CLI.");
    case Reason::transportNotHTTP:
        return QStringLiteral("This entry does not declare an HTTP transport, so it is not a Webflow connection.");
    case Reason::unexpectedEndpoint:
        return QStringLiteral("This entry points at a different server than Webflow's MCP endpoint.");
    case Reason::localScopeShadow:
        return QStringLiteral("A project-scoped entry in ~/.claude.json shares this name. Claude Code resolves that "
                              "one first, so this connection is not the one it would use, and this app will not "
                              "probe it.");
    case Reason::projectScoped:
        return QStringLiteral("This entry is registered for one project folder rather than your user account, so "
                              "this app does not manage it.");
    case Reason::foreignLane:
        return QStringLiteral("This connection belongs to the other Quorvane app lane, so this app will not inspect "
                              "or change it.");
    }
    return {};
}

void ConnectFlow::notice(const QString &title, const QString &message, const QString &icon)
{
    m_model.confirms().present(ConfirmRequest::notice(title, message, icon));
}

void ConnectFlow::removeRows(const QString &name)
{
    QList<Connection> connections = m_model.connections();
    connections.removeIf([&name](const Connection &connection) { return connection.name == name; });
    m_model.setConnections(std::move(connections));
}

QCoro::Task<ConnectFlow::RegistrationCheck> ConnectFlow::inspectRegistration(QString name)
{
    using Kind = RegistrationCheck::Kind;
    if (m_model.busy().contains(name))
        co_return RegistrationCheck{};
    m_model.setBusy(name, true);
    // A live check of this name that started earlier must not overwrite what this one finds.
    m_model.noteEvidence(name);

    QPointer<ConnectFlow> alive(this);
    const ClaudeCLI::RegistryRead read = co_await ClaudeCLI::readRegistry(m_model.driver());
    if (!alive)
        co_return RegistrationCheck{};
    const auto setStatus = [this, &name](ConnectionStatus status) {
        QList<Connection> connections = m_model.connections();
        const auto found = std::find_if(connections.begin(), connections.end(),
                                        [&name](const Connection &connection) { return connection.name == name; });
        if (found == connections.end())
            return;
        found->status = status;
        m_model.setConnections(std::move(connections));
    };
    if (read.error) {
        setStatus(ConnectionStatus::unknown);
        notice(QStringLiteral("Couldn't check Claude's MCP registry"),
               QStringLiteral("Quorvane couldn't safely determine whether ") + ClaudeCLI::displayName(name)
                   + QStringLiteral(" is already registered, so it did not add or authorize anything. Try again in a "
                                    "moment."),
               QStringLiteral("cloud-off"));
        m_model.setBusy(name, false);
        co_return RegistrationCheck{};
    }
    m_model.setUnrecognized(read.unrecognized);

    const auto unmanaged = std::find_if(read.unrecognized.cbegin(), read.unrecognized.cend(),
                                        [&name](const UnrecognizedServer &entry) { return entry.name == name; });
    if (unmanaged != read.unrecognized.cend()) {
        removeRows(name);
        notice(QStringLiteral("This MCP registration needs attention"), attentionMessage(unmanaged->reason),
               UnrecognizedServer::isOwnedElsewhere(unmanaged->reason) ? QStringLiteral("cloud-off")
                                                                       : QStringLiteral("warning-triangle"));
        m_model.setBusy(name, false);
        co_return RegistrationCheck{};
    }
    const auto managed = std::find_if(read.servers.cbegin(), read.servers.cend(),
                                      [&name](const ClaudeCLI::RegisteredServer &server) { return server.name == name; });
    if (managed == read.servers.cend()) {
        removeRows(name);
        m_model.setBusy(name, false);
        co_return RegistrationCheck{Kind::notRegistered, ConnectionStatus::unknown};
    }

    QList<Connection> connections = m_model.connections();
    const auto row = std::find_if(connections.begin(), connections.end(),
                                  [&name](const Connection &connection) { return connection.name == name; });
    if (row != connections.end()) {
        row->url = managed->url;
        row->status = ConnectionStatus::checking;
    } else {
        connections.append({name, managed->url, ConnectionStatus::checking, m_model.connectionStore().meta(name)});
    }
    m_model.setConnections(std::move(connections));

    ConnectionStatus status = co_await ClaudeCLI::serverStatus(m_model.driver(), name);
    if (!alive)
        co_return RegistrationCheck{};
    if (isDoubtful(status)) {
        status = co_await ClaudeCLI::serverStatus(m_model.driver(), name);
        if (!alive)
            co_return RegistrationCheck{};
    }
    if (status == ConnectionStatus::missing) {
        // Claude says it has no such server: believe it only when the file agrees.
        const ClaudeCLI::RegistryRead again = co_await ClaudeCLI::readRegistry(m_model.driver());
        if (!alive)
            co_return RegistrationCheck{};
        if (!again.error && !listsName(again, name)) {
            removeRows(name);
            m_model.setBusy(name, false);
            co_return RegistrationCheck{Kind::notRegistered, ConnectionStatus::unknown};
        }
        status = ConnectionStatus::unknown;
    }
    setStatus(status);
    m_model.setBusy(name, false);
    co_return RegistrationCheck{Kind::live, status};
}

void ConnectFlow::connectProjectWithId(const QUuid &projectId, bool reauthenticate)
{
    const QList<Project> &projects = m_model.projectStore().projects();
    const auto found = std::find_if(projects.cbegin(), projects.cend(),
                                    [&projectId](const Project &project) { return project.id == projectId; });
    // Runs on by itself; its outcome shows on the card, in notices and in the activity sheet.
    if (found != projects.cend())
        (void)connectProject(*found, reauthenticate, false);
}

QCoro::Task<> ConnectFlow::connectProject(Project project, bool reauthenticate, bool confirmed)
{
    if (!m_model.projectStore().persistenceWritable() || !m_model.connectionStore().persistenceWritable()
        || !m_model.siteDirectory().persistenceWritable()) {
        // Nothing shows when the project store itself is the read-only one.
        (void)m_model.projectStore().setIssue(
            m_model.persistenceIssue().value_or(
                QStringLiteral("Local persistence is read-only, so the connection was not changed.")),
            project.mcpName, Project::IssueRecovery::reconcileRegistry);
        co_return;
    }
    QPointer<ConnectFlow> alive(this);
    const RegistrationCheck check = co_await inspectRegistration(project.mcpName);
    if (!alive)
        co_return;
    switch (check.kind) {
    case RegistrationCheck::Kind::stopped:
        co_return;
    case RegistrationCheck::Kind::notRegistered:
        co_await registerThenAuthorize(std::move(project));
        co_return;
    case RegistrationCheck::Kind::live:
        break;
    }
    if (confirmed) {
        co_await m_model.authorizer().authorize(project.mcpName);
        co_return;
    }
    if (check.status == ConnectionStatus::connected && !reauthenticate)
        co_return;
    askToReauthenticate(project, check.status);
}

void ConnectFlow::askToReauthenticate(const Project &project, ConnectionStatus status)
{
    ConfirmRequest question;
    question.title = QStringLiteral("Re-authenticate ") + sanitizedForDisplay(project.title, kShownTitleLength)
        + u'?';
    question.message = reauthenticateMessage(status);
    question.confirmLabel = QStringLiteral("Re-authenticate");
    question.icon = QStringLiteral("globe-app-network");
    // The answer can come after the application began to quit; the second pass inspects again.
    question.action = [flow = QPointer<ConnectFlow>(this), project] {
        if (flow)
            (void)flow->connectProject(project, true, true);
    };
    m_model.confirms().present(std::move(question));
}

QCoro::Task<> ConnectFlow::registerThenAuthorize(Project project)
{
    const QString name = project.mcpName;
    QPointer<ConnectFlow> alive(this);
    // Built before the await: GCC 12 destroys a lambda made inside a co_await expression twice.
    std::function<void(bool)> marking = [this, name](bool running) { m_model.setBusy(name, running); };
    const QString failurePrefix = QStringLiteral("Couldn't register: ");
    const ServerRegistration registration = co_await registerAndRecord(m_model, name, failurePrefix, std::move(marking));
    if (!alive)
        co_return;
    if (registration == ServerRegistration::recorded)
        (void)m_model.projectStore().setIssue(std::nullopt, name);
    co_await m_model.refresh(true);
    if (!alive || registration != ServerRegistration::recorded)
        co_return;
    co_await m_model.authorizer().authorize(name);
}
