// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "panel/ProjectCardController.h"

#include "model/ConnectionStore.h"
#include "model/ProjectStore.h"
#include "model/SiteDirectory.h"
#include "publishing/PublishAccessStore.h"
#include "scheduling/ScheduleStore.h"

#include <QVariantMap>

namespace {

constexpr int copiedMilliseconds = 1800;

ConfirmRequest question(QString title, QString message, QString confirmLabel, bool destructive, QString icon)
{
    ConfirmRequest request;
    request.title = std::move(title);
    request.message = std::move(message);
    request.confirmLabel = std::move(confirmLabel);
    request.isDestructive = destructive;
    request.icon = std::move(icon);
    return request;
}

} // namespace

ProjectCardController::ProjectCardController(QObject *parent)
    : ProjectBinding(parent)
{
    m_copyReset.setSingleShot(true);
    m_copyReset.setInterval(copiedMilliseconds);
    connect(&m_copyReset, &QTimer::timeout, this, [this] {
        m_copied = false;
        emit copiedChanged();
        emit changed();
    });
}

void ProjectCardController::setCopyResetInterval(int milliseconds)
{
    if (milliseconds == m_copyReset.interval())
        return;
    m_copyReset.setInterval(milliseconds);
    emit copiedChanged();
}

McpPill::Input ProjectCardController::pillInput() const
{
    const QString name = mcpName();
    return {connectionStatus(), loading(), checkingNames().contains(name), busy(), m_copied};
}

bool ProjectCardController::busy() const
{
    return project() && busyNames().contains(project()->mcpName);
}

std::optional<QString> ProjectCardController::upcomingTimeText() const
{
    const std::optional<SiteRecord> site = siteRecord();
    if (!site || !scheduleStore())
        return std::nullopt;
    const std::optional<ScheduledPublish> upcoming = scheduleStore()->scheduleForSite(site->id);
    if (!upcoming)
        return std::nullopt;
    return ScheduleStore::scheduleTimeText(*upcoming);
}

SchedulePill ProjectCardController::schedulePill() const
{
    PublishAccessStore *access = publishAccess();
    return SchedulePill::of({upcomingTimeText(), access && access->isSettled(),
                             access && access->hasPublishingAccess(resolvedSiteID()), access && access->hasLoadedOnce()});
}

QString ProjectCardController::issue() const
{
    return hasIssue() ? *project()->issue : QString();
}

QString ProjectCardController::issueHint() const
{
    return canRecover() ? QStringLiteral("Activates the suggested recovery") : QStringLiteral("Status message");
}

bool ProjectCardController::localStoresWritable() const
{
    return (!projectStore() || projectStore()->persistenceWritable())
        && (!connectionStore() || connectionStore()->persistenceWritable())
        && (!siteDirectory() || siteDirectory()->persistenceWritable());
}

bool ProjectCardController::hasOAuthRecovery() const
{
    return publishAccess() && publishAccess()->available() && !publishAccess()->oauthRecoveryAttempts().isEmpty();
}

bool ProjectCardController::revocationPending() const
{
    const std::optional<QString> site = resolvedSiteID();
    return publishAccess() && publishAccess()->available() && site
        && publishAccess()->pendingRevocationSiteIDs().contains(*site);
}

bool ProjectCardController::publishingConnected() const
{
    return publishAccess() && publishAccess()->hasPublishingAccess(resolvedSiteID());
}

CardMenu::Input ProjectCardController::menuInput() const
{
    const std::optional<ConnectionStatus> status = connectionStatus();
    const McpPill::Input pill = pillInput();
    return {status.has_value(),
            status == ConnectionStatus::connected,
            McpPill::stateOf(status, pill.loading || pill.checkInFlight),
            localStoresWritable(),
            hasOAuthRecovery(),
            revocationPending(),
            publishingConnected()};
}

QVariantList ProjectCardController::menu() const
{
    QVariantList entries;
    for (const CardMenu::Entry &entry : CardMenu::entries(menuInput())) {
        entries.append(QVariantMap{{QStringLiteral("title"), entry.title},
                                   {QStringLiteral("enabled"), entry.enabled},
                                   {QStringLiteral("divider"), entry.action == CardMenu::Action::divider},
                                   {QStringLiteral("action"), int(entry.action)}});
    }
    return entries;
}

void ProjectCardController::pressStatusPill()
{
    if (!project())
        return;
    switch (McpPill::pressOf(pillInput())) {
    case McpPill::Press::nothing:
        return;
    case McpPill::Press::copy:
        copy();
        return;
    case McpPill::Press::connect:
        if (actions())
            actions()->connectProject(*project(), false, false);
        return;
    }
}

void ProjectCardController::copy()
{
    if (desktop())
        desktop()->copyText(McpPill::copyText(mcpName(), siteLabel()));
    // A second copy starts the wait again.
    m_copyReset.start();
    if (!m_copied) {
        m_copied = true;
        emit copiedChanged();
        emit changed();
    }
}

void ProjectCardController::pressSchedulePill()
{
    if (!project())
        return;
    if (schedulePill().publishingMissing)
        raisePublishingAlert();
    else
        emit scheduleRequested(projectId());
}

void ProjectCardController::raisePublishingAlert()
{
    ProjectActions *model = actions();
    if (!model)
        return;
    if (hasOAuthRecovery()) {
        model->offerWebflowConnectionReset();
        return;
    }
    const Project captured = *project();
    QPointer<ProjectActions> target = model;
    if (revocationPending()) {
        ConfirmRequest request = question(
            QStringLiteral("Publishing disconnect is still finishing"),
            QStringLiteral("Publishing is already disabled for ") + siteLabel()
                + QStringLiteral(". Finish revocation cleanup before connecting it again."),
            QStringLiteral("Retry Cleanup"), false, QStringLiteral("cloud-off"));
        const QString site = resolvedSiteID().value_or(QString());
        request.action = [target, site, captured] {
            if (target)
                target->disconnectPublishing(site, captured.mcpName);
        };
        model->present(std::move(request));
        return;
    }
    ConfirmRequest request = question(
        QStringLiteral("Publishing access is missing for ") + siteLabel(),
        QStringLiteral("A publish is scheduled for ") + upcomingTimeText().value_or(QStringLiteral("soon"))
            + QStringLiteral(", but this site's publishing access isn't connected, so it will fail. Connect publishing now?"),
        QStringLiteral("Connect"), false, QStringLiteral("globe-app-network"));
    QPointer<ProjectCardController> card = this;
    request.action = [card] {
        if (card)
            card->connectPublishing();
    };
    model->present(std::move(request));
}

void ProjectCardController::connectPublishing()
{
    ProjectActions *model = actions();
    if (!model || !project())
        return;
    const std::optional<SiteRecord> site = siteRecord();
    ProjectActions::PublishConnect connect{resolvedSiteID(), site ? std::optional<QString>(site->name) : std::nullopt,
                                           siteLabel(), mcpName()};
    // A card drawn before its project gained a site connects the site the store now holds for
    // the same server; the names stay the card's.
    if (!connect.siteID && projectStore()) {
        if (const std::optional<Project> current = projectStore()->projectForMCPName(mcpName())) {
            const std::optional<SiteRecord> currentSite =
                siteDirectory() ? siteRecordFor(*current, siteDirectory()->sites()) : std::nullopt;
            connect.siteID = currentSite ? std::optional<QString>(currentSite->id) : current->siteId;
        }
    }
    if (model->refuseWhileRevocationPending(connect.siteID, connect.label, connect.mcpName))
        return;
    model->connectPublishing(connect);
}

void ProjectCardController::pressIssue()
{
    ProjectActions *model = actions();
    if (!model || !canRecover())
        return;
    const Project &current = *project();
    switch (*current.issueRecovery) {
    case Project::IssueRecovery::connectMCP:
        model->connectProject(current, false, false);
        return;
    case Project::IssueRecovery::verifySite:
        if (connectionStatus())
            model->verifyScope(current.mcpName);
        return;
    case Project::IssueRecovery::reviewSiteIdentity:
        model->moveProject(current);
        return;
    case Project::IssueRecovery::retryPublishingDisconnect:
        if (const std::optional<QString> site = resolvedSiteID())
            model->disconnectPublishing(*site, current.mcpName);
        return;
    case Project::IssueRecovery::reconcileRegistry:
        model->refresh(true);
        return;
    }
}

void ProjectCardController::choose(int action)
{
    ProjectActions *model = actions();
    if (!model || !project())
        return;
    using Action = CardMenu::Action;
    const Project captured = *project();
    QPointer<ProjectActions> target = model;
    QPointer<ProjectCardController> card = this;
    switch (Action(action)) {
    case Action::divider:
        return;
    case Action::renameProject:
        startEdit(EditTarget::Title, captured.title);
        return;
    case Action::renameMCP: {
        ConfirmRequest request = question(
            QStringLiteral("Rename the MCP?"),
            captured.mcpName
                + QStringLiteral(" will be re-registered under the new name, and Claude Code will need to be "
                                 "re-authorized for this site afterwards."),
            QStringLiteral("Continue"), false, QStringLiteral("tag-label"));
        request.action = [card, captured] {
            // The name's own prefix is dropped, whatever its eight characters are.
            if (card)
                card->startEdit(EditTarget::McpName, captured.mcpName.mid(8));
        };
        model->present(std::move(request));
        return;
    }
    case Action::reauthLiveMCP:
        model->connectProject(captured, true, false);
        return;
    case Action::verifySite:
        model->verifyScope(captured.mcpName);
        return;
    case Action::connectMCP:
    case Action::checkMCPStatus:
    case Action::reauthMCP:
        model->connectProject(captured, false, false);
        return;
    case Action::resetPublishing:
        model->offerWebflowConnectionReset();
        return;
    case Action::finishPublishingDisconnect:
        if (const std::optional<QString> site = resolvedSiteID())
            model->disconnectPublishing(*site, captured.mcpName);
        return;
    case Action::reauthPublishing:
    case Action::connectPublishing:
        connectPublishing();
        return;
    case Action::unregisterMCP: {
        ConfirmRequest request = question(
            QStringLiteral("Unregister ") + captured.mcpName + QStringLiteral("?"),
            QStringLiteral("Removes its registration from Claude Code. The card stays, and Connect can register it "
                           "again. Revoke the Webflow authorization separately from Webflow's dashboard if needed."),
            QStringLiteral("Unregister"), true, QStringLiteral("power-off"));
        request.action = [target, captured] {
            if (target)
                target->unregisterMCP(captured);
        };
        model->present(std::move(request));
        return;
    }
    case Action::disconnectPublishing: {
        const std::optional<QString> upcoming = upcomingTimeText();
        const QString message = upcoming
            ? QStringLiteral("Revokes the authorization at Webflow. The publish scheduled for ") + *upcoming
                + QStringLiteral(" will fail. Cancel it first if you don't want that.")
            : QStringLiteral("Revokes the authorization at Webflow. Scheduled publishes for this site will stop "
                             "working until you connect it again.");
        ConfirmRequest request = question(QStringLiteral("Disconnect publishing for ") + siteLabel() + QStringLiteral("?"),
                                          message, QStringLiteral("Disconnect"), true, QStringLiteral("power-off"));
        const QString site = resolvedSiteID().value_or(QString());
        request.action = [target, site, captured] {
            if (target)
                target->disconnectPublishing(site, captured.mcpName);
        };
        model->present(std::move(request));
        return;
    }
    case Action::removeProject: {
        ConfirmRequest request =
            question(QStringLiteral("Remove ") + captured.title + QStringLiteral("?"), model->removalDescription(captured),
                     QStringLiteral("Remove"), true, QStringLiteral("recycle-bin"));
        request.action = [target, captured] {
            if (target)
                target->removeProject(captured);
        };
        model->present(std::move(request));
        return;
    }
    }
}

void ProjectCardController::startEdit(EditTarget target, const QString &draft)
{
    m_draft = draft;
    m_editing = target;
    emit editingChanged();
}

void ProjectCardController::cancelEdit()
{
    if (m_editing == EditTarget::None)
        return;
    m_editing = EditTarget::None;
    emit editingChanged();
}

void ProjectCardController::commitEdit(const QString &text)
{
    const QString trimmed = text.trimmed();
    m_draft = text;
    if (!trimmed.isEmpty() && project()) {
        const Project captured = *project();
        if (m_editing == EditTarget::Title && projectStore()) {
            const LocalStore::SaveResult result = projectStore()->setTitle(captured.id, trimmed);
            if (const std::optional<TitleChangeReport> report = titleChangeReport(result, trimmed);
                report && actions()) {
                actions()->record(QStringLiteral("project-store"), report->logMessage);
                actions()->present(report->notice);
            }
        } else if (m_editing == EditTarget::McpName && actions()) {
            actions()->renameMCP(captured, trimmed);
        }
    }
    m_editing = EditTarget::None;
    emit editingChanged();
}

std::optional<ProjectCardController::TitleChangeReport>
ProjectCardController::titleChangeReport(const LocalStore::SaveResult &result, const QString &title)
{
    if (!result || !result->message.isEmpty())
        return std::nullopt;
    const ConfirmRequest notice = ConfirmRequest::notice(
        QStringLiteral("Couldn't rename the project"),
        QStringLiteral("The project is no longer in the project list, so the title \"") + title
            + QStringLiteral("\" was not saved."),
        QStringLiteral("tag-label"));
    return TitleChangeReport{QStringLiteral("title change not saved: the project is no longer stored"), notice};
}
