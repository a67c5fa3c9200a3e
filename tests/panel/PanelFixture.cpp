// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "PanelFixture.h"

namespace {

QString text(const std::optional<QString> &value)
{
    return value ? *value : QStringLiteral("-");
}

} // namespace

void FakeActions::note(const QString &call)
{
    m_calls.append(call);
    emit changed();
}

void FakeActions::confirmLast()
{
    if (!m_confirms.isEmpty() && m_confirms.last().action)
        m_confirms.last().action();
}

void FakeActions::present(ConfirmRequest request)
{
    m_confirms.append(std::move(request));
    emit changed();
}

void FakeActions::record(const QString &area, const QString &message)
{
    note(QStringLiteral("record(%1, %2)").arg(area, message));
}

void FakeActions::connectProject(const Project &project, bool askWhenLive, bool authorizeAtOnce)
{
    note(QStringLiteral("connectProject(%1, %2, %3)")
             .arg(project.mcpName, askWhenLive ? "ask" : "-", authorizeAtOnce ? "now" : "-"));
}

void FakeActions::verifyScope(const QString &mcpName)
{
    note(QStringLiteral("verifyScope(%1)").arg(mcpName));
}

void FakeActions::moveProject(const Project &project)
{
    note(QStringLiteral("moveProject(%1)").arg(project.mcpName));
}

void FakeActions::refresh(bool force)
{
    note(QStringLiteral("refresh(%1)").arg(force ? "force" : "-"));
}

void FakeActions::renameMCP(const Project &project, const QString &typed)
{
    note(QStringLiteral("renameMCP(%1, %2)").arg(project.mcpName, typed));
}

void FakeActions::unregisterMCP(const Project &project)
{
    note(QStringLiteral("unregisterMCP(%1)").arg(project.mcpName));
}

void FakeActions::removeProject(const Project &project)
{
    note(QStringLiteral("removeProject(%1)").arg(project.mcpName));
}

void FakeActions::connectPublishing(const PublishConnect &connect)
{
    note(QStringLiteral("connectPublishing(%1, %2, %3, %4)")
             .arg(text(connect.siteID), text(connect.siteName), connect.label, text(connect.mcpName)));
}

void FakeActions::disconnectPublishing(const QString &siteID, const QString &mcpName)
{
    note(QStringLiteral("disconnectPublishing(%1, %2)").arg(siteID, mcpName));
}

bool FakeActions::refuseWhileRevocationPending(const std::optional<QString> &siteID, const QString &label,
                                               const std::optional<QString> &mcpName)
{
    note(QStringLiteral("refuseWhileRevocationPending(%1, %2, %3)").arg(text(siteID), label, text(mcpName)));
    return refuseRevocation;
}

void FakeActions::offerWebflowConnectionReset()
{
    note(QStringLiteral("offerWebflowConnectionReset()"));
}

QString FakeActions::removalDescription(const Project &)
{
    return removal;
}

void FakeDesktop::copyText(const QString &text)
{
    m_copies.append(text);
    emit changed();
}

bool FakeDesktop::openUrl(const QUrl &url)
{
    m_opened.append(url.toString());
    emit changed();
    return !refuse;
}

PanelFixture::PanelFixture(QObject *parent)
    : QObject(parent)
    , m_stores(std::make_unique<StoreFixture>())
{
    m_projects = std::make_unique<ProjectStore>(m_stores->folder(), m_stores->environment());
    m_connectionStore = std::make_unique<ConnectionStore>(m_stores->folder(), m_stores->environment());
    m_sites = std::make_unique<SiteDirectory>(m_stores->folder(), m_stores->environment());
    m_connections.setItemRoleNames({{Qt::UserRole + 1, "name"}, {Qt::UserRole + 2, "status"}});
}

PanelFixture::~PanelFixture() = default;

QString PanelFixture::addProject(const QString &title, const QString &mcpName, const QString &issue,
                                 const QString &recovery, const QString &siteId)
{
    Project project;
    project.id = QUuid::createUuid();
    project.title = title;
    project.mcpName = mcpName;
    project.createdAt = m_stores->clock.now();
    if (!issue.isEmpty())
        project.issue = issue;
    project.issueRecovery = issueRecoveryFromRawText(recovery);
    if (!siteId.isEmpty())
        project.siteId = siteId;
    QList<Project> next = m_projects->projects();
    next.append(project);
    if (m_projects->saveProjects(next))
        qWarning("the fixture's project could not be saved");
    return project.id.toString(QUuid::WithoutBraces);
}

void PanelFixture::forgetProject(const QString &id)
{
    QList<Project> next = m_projects->projects();
    next.removeIf([&](const Project &project) { return project.id == QUuid(id); });
    if (m_projects->saveProjects(next))
        qWarning("the fixture's projects could not be saved");
}

void PanelFixture::setConnection(const QString &name, const QString &status)
{
    for (int row = 0; row < m_connections.rowCount(); ++row) {
        if (m_connections.item(row)->data(Qt::UserRole + 1).toString() == name) {
            m_connections.item(row)->setData(status, Qt::UserRole + 2);
            return;
        }
    }
    auto *item = new QStandardItem;
    item->setData(name, Qt::UserRole + 1);
    item->setData(status, Qt::UserRole + 2);
    m_connections.appendRow(item);
}

void PanelFixture::addSite(const QString &id, const QString &name, const QString &shortName,
                           const QStringList &connections)
{
    // The directory learns sites only from verified connections, as the model's refresh hands them.
    SiteRef site{name, id, shortName.isEmpty() ? std::nullopt : std::optional<QString>(shortName)};
    for (const QString &connection : connections) {
        ConnectionMeta meta;
        meta.sites = QList<SiteRef>{site};
        m_verified.append(Connection{connection, std::nullopt, ConnectionStatus::connected, meta});
    }
    if (m_sites->reconcile(m_verified, {id}, {}, {}))
        qWarning("the fixture's site could not be saved");
}
