// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "app/AppProjectActions.h"

#include "app/AppModel.h"

// Every task below is dropped once started: a started QCoro task runs on by itself, and each flow
// checks after its waits that it is still current.

AppProjectActions::AppProjectActions(AppModel &model, QObject *parent)
    : ProjectActions(parent)
    , m_model(model)
{
}

void AppProjectActions::present(ConfirmRequest request)
{
    m_model.confirms().present(std::move(request));
}

void AppProjectActions::record(const QString &area, const QString &message)
{
    m_model.errorLog().record(area, message, m_model.clock().now());
}

void AppProjectActions::connectProject(const Project &project, bool askWhenLive, bool authorizeAtOnce)
{
    (void)m_model.connecting().connectProject(project, askWhenLive, authorizeAtOnce);
}

void AppProjectActions::verifyScope(const QString &mcpName)
{
    (void)m_model.authorizer().scope().verifyScope(mcpName);
}

void AppProjectActions::moveProject(const Project &project)
{
    m_model.authorizer().moveProject(project);
}

void AppProjectActions::refresh(bool force)
{
    (void)m_model.refresh(force);
}

void AppProjectActions::renameMCP(const Project &project, const QString &typed)
{
    (void)m_model.renamer().renameMCP(project, typed);
}

void AppProjectActions::unregisterMCP(const Project &project)
{
    (void)m_model.removal().unregisterMCP(project);
}

void AppProjectActions::removeProject(const Project &project)
{
    (void)m_model.removal().removeProject(project);
}

void AppProjectActions::connectPublishing(const PublishConnect &connect)
{
    // A card's connect is always asked about when the site already has access.
    (void)m_model.publishing().connectPublishing({connect.siteID, connect.siteName, connect.label, connect.mcpName, [] {}},
                                           false);
}

void AppProjectActions::disconnectPublishing(const QString &siteID, const QString &mcpName)
{
    (void)m_model.publishing().disconnectPublishing(siteID, mcpName.isEmpty() ? std::nullopt
                                                                         : std::optional<QString>(mcpName));
}

bool AppProjectActions::refuseWhileRevocationPending(const std::optional<QString> &siteID, const QString &label,
                                                     const std::optional<QString> &mcpName)
{
    return m_model.publishing().refuseWhileRevocationPending(siteID.value_or(QString()), label,
                                                             mcpName.value_or(QString()));
}

void AppProjectActions::offerWebflowConnectionReset()
{
    m_model.publishing().offerWebflowConnectionReset();
}

QString AppProjectActions::removalDescription(const Project &project)
{
    return m_model.removal().removalDescription(project);
}
