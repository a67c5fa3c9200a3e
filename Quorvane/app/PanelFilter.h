// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include "model/Project.h"
#include "model/SiteRecord.h"
#include "model/UnrecognizedServer.h"

#include <QList>
#include <QString>

#include <functional>
#include <optional>

/**
 * @brief The panel's one search field and the order of its lists: which projects and which
 * unmanaged registry entries a search keeps, and how each list is sorted.
 *
 * Computed afresh from the model on every change; nothing is stored.
 */
namespace PanelFilter {

/// The site record a project works on, when the model knows one.
using SiteLookup = std::function<std::optional<SiteRecord>(const Project &)>;

/// The search text without the blanks and tabs around it; line breaks are part of the term.
[[nodiscard]] QString searchTerm(const QString &searchText);
/// A text of only blanks and tabs is no search.
[[nodiscard]] bool isSearching(const QString &searchText);
/// The line a list shows when the search keeps none of it.
[[nodiscard]] QString noMatchesText(const QString &searchText);
/// Case-insensitive containment, as the search compares every text.
[[nodiscard]] bool matches(const QString &text, const QString &term);

/// Projects by title (case-insensitive in the user's locale; equal titles keep the store's order),
/// narrowed by the search to those whose title, server name, site name or site display name holds
/// the term.
[[nodiscard]] QList<Project> filteredProjects(const QList<Project> &projects, const QString &searchText,
                                              const SiteLookup &siteRecord);

/// The entries the search keeps by their displayed name, those the user can act on first, each
/// group by its raw name in code point order after canonical composition; ties keep the model's
/// order.
[[nodiscard]] QList<UnrecognizedServer> filteredUnrecognized(const QList<UnrecognizedServer> &entries,
                                                             const QString &searchText);

} // namespace PanelFilter
