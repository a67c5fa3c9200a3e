// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "model/ProjectStore.h"

#include "foundation/ServerNames.h"
#include "foundation/LocaleOrder.h"
#include "foundation/Clock.h"
#include "platform/DataFolder.h"

#include <QJsonArray>
#include <QTextBoundaryFinder>

namespace {

// The issue a retarget review sets; settling the review clears only an issue that begins so.
const QString kRetargetIssuePrefix =
    QStringLiteral("This MCP now verifies a different Webflow site");

const ProjectStore::SaveFailure kInvalid{ProjectStore::SaveFailure::Kind::invalid, {}};

// The slug of a name without its lane prefix (at most one is dropped).
QString unprefixedSlug(QStringView name)
{
    const QString slug = ClaudeCLI::slugify(name);
    for (const QStringView prefix : {ClaudeCLI::otherLanePrefix, ClaudeCLI::ownLanePrefix}) {
        if (slug.startsWith(prefix))
            return slug.mid(prefix.size());
    }
    return slug;
}

// Names that differ only in case, spacing, punctuation, hyphens or lane prefix share a key.
QString comparisonKey(QStringView name)
{
    return unprefixedSlug(name).remove(u'-');
}

bool isRetargetIssue(const std::optional<QString> &issue)
{
    return issue && issue->startsWith(kRetargetIssuePrefix);
}

// The title of an adopted registration without a verified site: "webflow-acme-co" → "Acme Co".
QString titleFromServerName(const QString &name)
{
    const QString rest = name.startsWith(ClaudeCLI::ownLanePrefix)
        ? name.mid(ClaudeCLI::ownLanePrefix.size())
        : name;
    QStringList words;
    for (const QString &piece : rest.split(u'-', Qt::SkipEmptyParts)) {
        QTextBoundaryFinder graphemes(QTextBoundaryFinder::Grapheme, piece);
        const qsizetype first = graphemes.toNextBoundary();
        words.append(piece.left(first).toUpper() + piece.mid(first));
    }
    return words.join(u' ');
}

} // namespace

ProjectStore::ProjectStore(const QString &folder, Environment environment, QObject *parent)
    : LocalStore(folder, {QStringLiteral("projects.json"), QStringLiteral("project-store")},
                 {
                     QStringLiteral("Projects exist but could not be read. The original path was "
                                    "preserved and changes are disabled."),
                     QStringLiteral("Projects were saved by an unsupported Quorvane version. The "
                                    "original file was preserved and changes are disabled."),
                     QStringLiteral("Projects could not be read. The original file was preserved "
                                    "and changes are disabled."),
                     QStringLiteral("Project changes could not be saved. Keep Quorvane open and "
                                    "free disk space or fix %1 permissions.")
                         .arg(DataFolder::displayPath(folder)),
                 },
                 std::move(environment), parent)
{
    const auto records = [](const QJsonValue &value) {
        return StoreFile::decodeList(value,
                                     [](const QJsonValue &project) { return Project::fromJson(project); });
    };
    m_projects = load(recordLayouts<QList<Project>>(QLatin1StringView("projects"), records))
                     .value_or(QList<Project>());
}

std::optional<QString> ProjectStore::setAsideNote(SetAside, const QByteArray &bytes,
                                                  const std::optional<QString> &copy) const
{
    // The line claims a preserved copy, so it is written only when there is one; a failed copy
    // has logged its own reason.
    if (!copy)
        return std::nullopt;
    return QStringLiteral("projects.json could not be decoded; preserved %1 bytes at %2 instead of "
                          "overwriting it.")
        .arg(bytes.size())
        .arg(*copy);
}

ProjectStore::SaveResult ProjectStore::saveProjects(const QList<Project> &projects)
{
    QJsonArray array;
    for (const Project &project : projects)
        array.append(project.toJson());
    if (const SaveResult failure = save(StoreFile::encode(QJsonObject{
            {QStringLiteral("version"), currentVersion}, {QStringLiteral("projects"), array}})))
        return failure;
    if (m_projects != projects) {
        m_projects = projects;
        emit projectsChanged();
    }
    return std::nullopt;
}

qsizetype ProjectStore::indexOf(const QUuid &id) const
{
    for (qsizetype index = 0; index < m_projects.size(); ++index) {
        if (m_projects.at(index).id == id)
            return index;
    }
    return -1;
}

template <typename Change>
ProjectStore::SaveResult ProjectStore::changeProject(const QUuid &id, Change change)
{
    const qsizetype index = indexOf(id);
    if (index < 0)
        return kInvalid;
    QList<Project> next = m_projects;
    if (!change(next[index]))
        return kInvalid;
    return saveProjects(next);
}

std::variant<Project, ProjectStore::SaveFailure> ProjectStore::createProject(const QString &title)
{
    const QString trimmed = title.trimmed();
    const QString mcpName = normalizedMCPName(trimmed);
    if (trimmed.isEmpty() || mcpName.isEmpty())
        return kInvalid;
    const QString key = comparisonKey(mcpName);
    for (const Project &project : std::as_const(m_projects)) {
        if (comparisonKey(project.mcpName) == key)
            return kInvalid;
    }

    Project project;
    project.id = QUuid::createUuid();
    project.title = trimmed;
    project.mcpName = mcpName;
    project.createdAt = clock().now();
    QList<Project> next = m_projects;
    next.append(project);
    if (const SaveResult failure = saveProjects(next))
        return *failure;
    return project;
}

ProjectStore::SaveResult ProjectStore::setTitle(const QUuid &id, const QString &title)
{
    const QString trimmed = title.trimmed();
    if (trimmed.isEmpty())
        return kInvalid;
    return changeProject(id, [&](Project &project) {
        project.title = trimmed;
        return true;
    });
}

ProjectStore::SaveResult ProjectStore::setMCPName(const QUuid &id, const QString &name)
{
    if (!name.startsWith(ClaudeCLI::ownLanePrefix))
        return kInvalid;
    return changeProject(id, [&](Project &project) {
        project.mcpName = name;
        project.registryIntent.reset();
        return true;
    });
}

ProjectStore::SaveResult ProjectStore::setIssue(const std::optional<QString> &issue,
                                                const QString &mcpName,
                                                std::optional<Project::IssueRecovery> recovery)
{
    const std::optional<Project> project = projectForMCPName(mcpName);
    if (!project)
        return kInvalid;
    // The review of a pending site stays until the retarget is settled.
    if (!issue && project->pendingSiteId)
        return std::nullopt;
    return changeProject(project->id, [&](Project &changed) {
        changed.issue = issue;
        changed.issueRecovery = issue ? (recovery ? recovery : recoveryForLegacyIssue(*issue))
                                      : std::nullopt;
        return true;
    });
}

ProjectStore::SaveResult ProjectStore::setRegistryIntent(const QUuid &id,
                                                         const Project::RegistryIntent &intent)
{
    return changeProject(id, [&](Project &project) {
        if (project.registryIntent)
            return false; // one pending change at a time
        project.registryIntent = intent;
        return true;
    });
}

ProjectStore::SaveResult ProjectStore::clearRegistryIntent(const QUuid &id)
{
    const qsizetype index = indexOf(id);
    if (index < 0)
        return kInvalid;
    if (!m_projects.at(index).registryIntent)
        return std::nullopt;
    return changeProject(id, [](Project &project) {
        project.registryIntent.reset();
        return true;
    });
}

ProjectStore::SaveResult ProjectStore::setSiteId(const QUuid &id,
                                                 const std::optional<QString> &siteId)
{
    return changeProject(id, [&](Project &project) {
        if (project.siteId == siteId)
            return false;
        project.siteId = siteId;
        project.pendingSiteId.reset();
        project.pendingSiteName.reset();
        project.issueRecovery.reset();
        if (isRetargetIssue(project.issue))
            project.issue.reset();
        return true;
    });
}

ProjectStore::SaveResult ProjectStore::acceptPendingSite(const QUuid &id)
{
    return changeProject(id, [](Project &project) {
        if (!project.pendingSiteId)
            return false;
        project.siteId = project.pendingSiteId;
        project.pendingSiteId.reset();
        project.pendingSiteName.reset();
        project.issue.reset();
        project.issueRecovery.reset();
        return true;
    });
}

ProjectStore::SaveResult ProjectStore::remove(const QUuid &id)
{
    if (indexOf(id) < 0)
        return kInvalid;
    QList<Project> next = m_projects;
    next.removeIf([&](const Project &project) { return project.id == id; });
    return saveProjects(next);
}

ProjectStore::SaveResult ProjectStore::reconcileSites(const QList<SiteRecord> &sites)
{
    QList<Project> next = m_projects;
    bool changed = false;
    for (const SiteRecord &site : sites) {
        for (const QString &connection : site.connections) {
            const auto project = std::find_if(next.begin(), next.end(), [&](const Project &p) {
                return p.mcpName == connection;
            });
            if (project == next.end())
                continue;
            if (!project->siteId) {
                project->siteId = site.id;
                changed = true;
            } else if (*project->siteId == site.id) {
                if (project->pendingSiteId) {
                    project->pendingSiteId.reset();
                    project->pendingSiteName.reset();
                    if (isRetargetIssue(project->issue))
                        project->issue.reset();
                    changed = true;
                }
            } else {
                project->pendingSiteId = site.id;
                project->pendingSiteName = site.name;
                project->issue = kRetargetIssuePrefix + QStringLiteral(" (") + site.name
                    + QStringLiteral("). Review the change before this project is retargeted.");
                project->issueRecovery = Project::IssueRecovery::reviewSiteIdentity;
                changed = true;
            }
        }
    }
    if (!changed)
        return std::nullopt;
    return saveProjects(next);
}

ProjectStore::SaveResult
ProjectStore::adoptUnclaimedConnections(const QList<Connection> &connections)
{
    QList<Project> next = m_projects;
    bool adopted = false;
    for (const Connection &connection : connections) {
        const bool claimed = std::any_of(next.cbegin(), next.cend(), [&](const Project &project) {
            return project.mcpName == connection.name;
        });
        if (claimed)
            continue;
        const bool hasSite = connection.meta && connection.meta->sites
            && !connection.meta->sites->isEmpty();
        Project project;
        project.id = QUuid::createUuid();
        project.title = hasSite ? connection.meta->sites->first().name
                                : titleFromServerName(connection.name);
        project.mcpName = connection.name;
        project.createdAt = connection.meta && connection.meta->addedAt
            ? connection.meta->addedAt->date()
            : clock().now();
        next.append(std::move(project));
        adopted = true;
    }
    if (!adopted)
        return std::nullopt;
    return saveProjects(next);
}

std::optional<Project> ProjectStore::projectForMCPName(const QString &name) const
{
    for (const Project &project : m_projects) {
        if (project.mcpName == name)
            return project;
    }
    return std::nullopt;
}

std::optional<ProjectStore::NameCollision>
ProjectStore::nameCollision(const QString &typed, const QStringList &extraNames) const
{
    const QString typedKey = comparisonKey(typed);
    if (typedKey.isEmpty())
        return std::nullopt;
    QStringList candidates;
    for (const Project &project : m_projects)
        candidates << project.title << project.mcpName;
    candidates << extraNames;

    QStringList keys;
    for (const QString &candidate : std::as_const(candidates))
        keys.append(comparisonKey(candidate));
    for (qsizetype index = 0; index < candidates.size(); ++index) {
        if (keys.at(index) == typedKey)
            return NameCollision{candidates.at(index), NameCollision::Kind::exact};
    }
    for (qsizetype index = 0; index < candidates.size(); ++index) {
        const QString &key = keys.at(index);
        if (!key.isEmpty() && (key.contains(typedKey) || typedKey.contains(key)))
            return NameCollision{candidates.at(index), NameCollision::Kind::close};
    }
    return std::nullopt;
}

QString normalizedMCPName(QStringView name)
{
    const QString rest = unprefixedSlug(name);
    const bool usable = std::any_of(rest.cbegin(), rest.cend(),
                                    [](QChar c) { return c.isLetterOrNumber(); });
    if (!usable)
        return {};
    return ClaudeCLI::ownLanePrefix.toString() + rest;
}

QList<Project> sortProjectsByTitle(QList<Project> projects)
{
    sortByLocaleText(projects, [](const Project &project) { return project.title; });
    return projects;
}
