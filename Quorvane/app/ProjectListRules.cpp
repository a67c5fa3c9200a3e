// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "app/ProjectListRules.h"

#include "foundation/DisplayText.h"
#include "panel/ProjectBinding.h"

namespace ProjectListRules {

Sections sections(const SectionInputs &in)
{
    Sections shown;
    shown.howTo = !in.hasProjects;
    shown.noMatches = in.searching && in.hasProjects && !in.projectsMatch && !in.unrecognizedMatch;
    shown.orphans = !in.searching && in.publishingAvailable && in.orphanSites;
    return shown;
}

QString shownName(const QString &name)
{
    return sanitizedForDisplay(name, shownNameLength);
}

bool removesLocally(const UnrecognizedServer &entry)
{
    return entry.reason == UnrecognizedServer::Reason::projectScoped && entry.folder.has_value();
}

ConfirmRequest unrecognizedRemoval(const UnrecognizedServer &entry, EntryRemoval remove)
{
    ConfirmRequest request;
    request.title = QStringLiteral("Remove ") + shownName(entry.name) + u'?';
    // A folder name may carry controls that would turn the shown path around; the removal still
    // runs in the folder exactly as the registry names it.
    request.message = removesLocally(entry)
        ? QStringLiteral("Unregisters it from Claude Code for this folder only:\n")
            + sanitizedForDisplay(*entry.folder, shownFolderLength)
            + QStringLiteral("\n\nNothing about this entry is contacted or launched.")
        : QStringLiteral("Unregisters it from Claude Code's user scope. Nothing about this entry is contacted or "
                         "launched.");
    request.confirmLabel = QStringLiteral("Remove");
    request.isDestructive = true;
    request.icon = QStringLiteral("recycle-bin");
    request.action = [entry, remove = std::move(remove)] {
        if (remove)
            remove(entry);
    };
    return request;
}

QList<OrphanRow> orphanRows(const QStringList &siteIds, const std::function<QString(const QString &)> &displayName,
                            const QSet<QString> &pendingRevocation, bool publishingAvailable, bool localSaving)
{
    QList<OrphanRow> rows;
    rows.reserve(siteIds.size());
    for (const QString &siteId : siteIds) {
        OrphanRow row;
        row.siteId = siteId;
        row.name = shownName(displayName(siteId));
        row.pending = publishingAvailable && pendingRevocation.contains(siteId);
        row.assignable = !row.pending && localSaving;
        rows.append(std::move(row));
    }
    return rows;
}

std::optional<QString> siteKey(const Project &project, const QList<SiteRecord> &sites)
{
    if (const std::optional<SiteRecord> record = ProjectBinding::siteRecordFor(project, sites))
        return record->id;
    return project.siteId;
}

QList<Project> assignCandidates(const QList<Project> &projects, const QList<SiteRecord> &sites, const QString &siteId)
{
    QList<Project> candidates;
    for (const Project &project : projects) {
        const std::optional<QString> key = siteKey(project, sites);
        if (!key || *key == siteId)
            candidates.append(project);
    }
    return candidates;
}

ConfirmRequest orphanRevocation(bool pending, const QString &name, std::function<void()> revoke)
{
    ConfirmRequest request;
    if (pending) {
        request.title = QStringLiteral("Finish disconnect for ") + name + u'?';
        request.message = QStringLiteral("Publishing is already disabled. This retries Webflow revocation and local "
                                         "cleanup.");
        request.confirmLabel = QStringLiteral("Retry Cleanup");
    } else {
        request.title = QStringLiteral("Revoke publishing access for ") + name + u'?';
        request.message = QStringLiteral("Revokes the authorization at Webflow. Any scheduled publish for this site "
                                         "will fail.");
        request.confirmLabel = QStringLiteral("Revoke");
    }
    request.isDestructive = true;
    request.icon = QStringLiteral("power-off");
    request.action = std::move(revoke);
    return request;
}

} // namespace ProjectListRules
