// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include "model/Project.h"
#include "model/PublishDomain.h"
#include "model/SiteRecord.h"
#include "scheduling/ScheduleTimeRules.h"
#include "scheduling/ScheduledPublish.h"

#include <QList>
#include <QSet>
#include <QString>

#include <functional>
#include <optional>

/// @brief A project with the site record the application model finds for it (none when the
/// project has not been verified to one site yet).
struct ProjectSite
{
    Project project;
    std::optional<SiteRecord> site;

    /// The site the project stands for: its record's id, else the project's own site id.
    [[nodiscard]] std::optional<QString> siteID() const;
};

/// @brief One entry of the schedule form's site menu.
struct SiteMenuItem
{
    enum class Action {
        Verify,   ///< the project has no site record: offer to verify it for scheduling
        Schedule, ///< start scheduling its site
        None,     ///< its site already has a queued publish
    };

    QString title;
    bool enabled = true;
    Action action = Action::None;
    ProjectSite entry;

    friend bool operator==(const SiteMenuItem &, const SiteMenuItem &) = default;
};

/// The schedule form's target and wording rules: plain values in, plain values out.
namespace ScheduleFormRules {

/// What follows a site's short name in its staging address.
inline const QString stagingDomainSuffix = QStringLiteral(".webflow.io");

/// Shown where the targets would be when a site has neither stored domains nor a short name.
inline const QString noTargetsNote = QStringLiteral(
    "No publish targets are known for this site yet: its staging address needs the site's short name, "
    "which the last verification didn't report. Verify the connection again or reconnect publishing to load its domains.");

/// The site's publish targets: the stored domains in their order, or else the one staging
/// address built from the site's recorded short name; none without either.
[[nodiscard]] QList<PublishDomain> domainsForSite(const SiteRecord &site,
                                                  const QList<PublishDomain> &storedDomains);

/// The MCP connection a draft for @p site names: that of the first project standing for the
/// site, else the site's first connection, else empty.
[[nodiscard]] QString connectionNameForSite(const SiteRecord &site, const QList<ProjectSite> &projects);

/// The entries of @p domains whose id is ticked, in the site's order. Ticks of ids the site no
/// longer has are not targets.
[[nodiscard]] QList<PublishDomain> tickedTargets(const QList<PublishDomain> &domains, const QSet<QString> &ticked);

/// "production" when any target is not staging, "staging" when all are, none without targets.
[[nodiscard]] std::optional<QString> publishTargetWord(const QList<PublishDomain> &targets);

/// The form's title line.
[[nodiscard]] QString scheduleTitle(const std::optional<SiteRecord> &site, const QList<PublishDomain> &targets,
                                    const QDateTime &publishAt, const ScheduleTimeContext &context);

/// The message of the schedule confirmation for @p draft, with the paranoid and cloud notes
/// when they apply.
[[nodiscard]] QString confirmationMessage(const ScheduledPublish &draft, bool cloudScheduling,
                                          const ScheduleTimeContext &context);

/// The site menu: one entry per project, by title in the user's locale.
[[nodiscard]] QList<SiteMenuItem> siteMenuItems(const QList<ProjectSite> &projects,
                                                const std::function<bool(const QString &siteID)> &hasQueuedPublish);

} // namespace ScheduleFormRules
