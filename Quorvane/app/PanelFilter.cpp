// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "app/PanelFilter.h"

#include "foundation/DisplayText.h"

#include <QCollator>
#include <QLocale>

#include <algorithm>

namespace PanelFilter {

namespace {

bool isBlankOrTab(QChar c)
{
    // Horizontal whitespace only: a pasted line break stays part of what is searched for.
    return c == QLatin1Char('\t') || c.category() == QChar::Separator_Space;
}

// Entries the user can act on (rename, remove, open the folder) come before those only explained.
int group(const UnrecognizedServer &entry)
{
    using Reason = UnrecognizedServer::Reason;
    switch (entry.reason) {
    case Reason::unsafeName:
    case Reason::transportNotHTTP:
    case Reason::unexpectedEndpoint:
        return 0;
    case Reason::projectScoped:
        return entry.folder ? 0 : 1;
    case Reason::localScopeShadow:
    case Reason::foreignLane:
        return 1;
    }
    return 1;
}

} // namespace

QString searchTerm(const QString &searchText)
{
    qsizetype begin = 0;
    qsizetype end = searchText.size();
    while (begin < end && isBlankOrTab(searchText.at(begin)))
        ++begin;
    while (end > begin && isBlankOrTab(searchText.at(end - 1)))
        --end;
    return searchText.sliced(begin, end - begin);
}

bool isSearching(const QString &searchText)
{
    return !searchTerm(searchText).isEmpty();
}

QString noMatchesText(const QString &searchText)
{
    return QStringLiteral("No matches for \u201C") + searchTerm(searchText) + QStringLiteral("\u201D");
}

bool matches(const QString &text, const QString &term)
{
    // Lower-cased in the user's locale, so a Turkish user's "i" finds "İ" as they expect.
    const QLocale locale;
    return locale.toLower(text).contains(locale.toLower(term));
}

QList<Project> filteredProjects(const QList<Project> &projects, const QString &searchText,
                                const SiteLookup &siteRecord)
{
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    QList<Project> sorted = projects;
    std::stable_sort(sorted.begin(), sorted.end(), [&collator](const Project &a, const Project &b) {
        return collator.compare(a.title, b.title) < 0;
    });
    const QString term = searchTerm(searchText);
    if (term.isEmpty())
        return sorted;
    QList<Project> kept;
    for (const Project &project : std::as_const(sorted)) {
        if (matches(project.title, term) || matches(project.mcpName, term)) {
            kept.append(project);
            continue;
        }
        const std::optional<SiteRecord> site = siteRecord ? siteRecord(project) : std::nullopt;
        if (site && (matches(site->name, term) || matches(site->displayName(), term)))
            kept.append(project);
    }
    return kept;
}

QList<UnrecognizedServer> filteredUnrecognized(const QList<UnrecognizedServer> &entries, const QString &searchText)
{
    const QString term = searchTerm(searchText);
    struct Keyed
    {
        int group;
        QList<uint> name;
        const UnrecognizedServer *entry;
    };
    QList<Keyed> keyed;
    for (const UnrecognizedServer &entry : entries) {
        if (!term.isEmpty() && !matches(sanitizedForDisplay(entry.name, 120), term))
            continue;
        // Scalars, not UTF-16 units, so characters beyond the basic plane sort after U+FFFF.
        keyed.append({group(entry), entry.name.normalized(QString::NormalizationForm_C).toUcs4(), &entry});
    }
    std::stable_sort(keyed.begin(), keyed.end(), [](const Keyed &a, const Keyed &b) {
        if (a.group != b.group)
            return a.group < b.group;
        return a.name < b.name;
    });
    QList<UnrecognizedServer> result;
    result.reserve(keyed.size());
    for (const Keyed &k : std::as_const(keyed))
        result.append(*k.entry);
    return result;
}

} // namespace PanelFilter
