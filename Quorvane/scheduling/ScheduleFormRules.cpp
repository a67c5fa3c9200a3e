// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "scheduling/ScheduleFormRules.h"

#include "foundation/LocaleOrder.h"
#include "scheduling/ScheduleStore.h"

#include <QStringList>

using namespace Qt::StringLiterals;

std::optional<QString> ProjectSite::siteID() const
{
    if (site)
        return site->id;
    return project.siteId;
}

namespace ScheduleFormRules {

QList<PublishDomain> domainsForSite(const SiteRecord &site, const QList<PublishDomain> &storedDomains)
{
    if (!storedDomains.isEmpty())
        return storedDomains;
    // The staging address is the site's own subdomain; a connection's name is the user's label
    // and says nothing about it, so without a recorded short name there is no fallback to offer.
    const QString shortName = site.shortName.value_or(QString()).trimmed();
    if (shortName.isEmpty())
        return {};
    return {PublishDomain{u"staging"_s, shortName + stagingDomainSuffix, true}};
}

QString connectionNameForSite(const SiteRecord &site, const QList<ProjectSite> &projects)
{
    for (const ProjectSite &entry : projects) {
        if (entry.siteID() == site.id)
            return entry.project.mcpName;
    }
    return site.connections.value(0);
}

QList<PublishDomain> tickedTargets(const QList<PublishDomain> &domains, const QSet<QString> &ticked)
{
    QList<PublishDomain> targets;
    for (const PublishDomain &domain : domains) {
        if (ticked.contains(domain.id))
            targets.append(domain);
    }
    return targets;
}

std::optional<QString> publishTargetWord(const QList<PublishDomain> &targets)
{
    if (targets.isEmpty())
        return std::nullopt;
    const bool anyProduction = std::any_of(targets.cbegin(), targets.cend(),
                                           [](const PublishDomain &domain) { return !domain.isStaging; });
    return anyProduction ? u"production"_s : u"staging"_s;
}

QString scheduleTitle(const std::optional<SiteRecord> &site, const QList<PublishDomain> &targets,
                      const QDateTime &publishAt, const ScheduleTimeContext &context)
{
    if (!site)
        return u"Scheduling a Publish of…"_s;
    QString title = u"Scheduling a Publish of "_s + site->displayName();
    if (const auto word = publishTargetWord(targets))
        title += u" to "_s + *word;
    return title + u" on "_s + ScheduleTimeRules::formTitleDateText(publishAt, context);
}

QString confirmationMessage(const ScheduledPublish &draft, bool cloudScheduling, const ScheduleTimeContext &context)
{
    QStringList urls;
    for (const PublishDomain &domain : draft.domains)
        urls.append(domain.url);
    QStringList notes;
    if (draft.skipIfChanged)
        notes.append(u"Paranoid mode: skips automatically if the site changes first."_s);
    if (cloudScheduling)
        notes.append(u"Runs in the cloud, so your computer doesn't need to be on."_s);

    QString message = draft.siteName + u" will publish on "_s
        + publishTimeText(draft.publishAt, QString::fromUtf8(context.zone.id()), context.locale, context.zone)
        + u".\n\nTime zone: "_s + ScheduleStore::timeZoneLabel(draft) + u"\nDomains: "_s + urls.join(u", "_s);
    if (!notes.isEmpty())
        message += u"\n\n"_s + notes.join(u'\n');
    return message;
}

QList<SiteMenuItem> siteMenuItems(const QList<ProjectSite> &projects,
                                  const std::function<bool(const QString &siteID)> &hasQueuedPublish)
{
    QList<ProjectSite> sorted = projects;
    sortByLocaleText(sorted, [](const ProjectSite &entry) { return entry.project.title; });
    QList<SiteMenuItem> items;
    for (const ProjectSite &entry : sorted) {
        if (!entry.site)
            items.append({entry.project.title, true, SiteMenuItem::Action::Verify, entry});
        else if (hasQueuedPublish(entry.site->id))
            items.append({entry.project.title + u" · scheduled"_s, false, SiteMenuItem::Action::None, entry});
        else
            items.append({entry.project.title, true, SiteMenuItem::Action::Schedule, entry});
    }
    return items;
}

} // namespace ScheduleFormRules
