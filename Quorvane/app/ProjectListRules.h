// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include "model/ConfirmRequest.h"
#include "model/Project.h"
#include "model/SiteRecord.h"
#include "model/UnrecognizedServer.h"

#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

/**
 * @brief The decisions of the Connections tab's list: which of its sections show, the questions
 * it asks before removing an unmanaged entry or revoking publishing access, and which projects a
 * site without a project can be assigned to.
 */
namespace ProjectListRules {

/// How many characters of a name from outside a row or a title shows.
inline constexpr qsizetype shownNameLength = 120;
/// How many characters of a folder the removal question shows; a path is long but never a novel.
inline constexpr qsizetype shownFolderLength = 1024;

/// What the sections depend on.
struct SectionInputs
{
    bool hasProjects = false;
    bool searching = false;
    bool projectsMatch = false;     ///< the search keeps at least one project
    bool unrecognizedMatch = false; ///< the search keeps at least one unmanaged entry
    bool publishingAvailable = false;
    bool orphanSites = false; ///< some site holds publishing access that no project claims
};

/// The optional sections of the list.
struct Sections
{
    bool howTo = false;
    bool noMatches = false;
    bool orphans = false;
    friend bool operator==(const Sections &, const Sections &) = default;
};

[[nodiscard]] Sections sections(const SectionInputs &inputs);


/// A name from outside as a row or a title shows it.
[[nodiscard]] QString shownName(const QString &name);

/// Whether the entry is removed from its folder's registration rather than the user's.
[[nodiscard]] bool removesLocally(const UnrecognizedServer &entry);

/// Removes an entry, by the name and folder captured when the question was asked.
using EntryRemoval = std::function<void(const UnrecognizedServer &entry)>;
/// The question before removing an unmanaged entry. What it shows is made safe to display; the
/// removal acts on the entry exactly as the registry holds it.
[[nodiscard]] ConfirmRequest unrecognizedRemoval(const UnrecognizedServer &entry, EntryRemoval remove);

/// One site that holds publishing access while no project claims it.
struct OrphanRow
{
    QString siteId;
    /// Display-safe.
    QString name;
    /// Publishing is off; only the revocation at Webflow and the local cleanup remain.
    bool pending = false;
    /// The Assign menu is offered.
    bool assignable = false;

    [[nodiscard]] const QString &id() const { return siteId; }
    friend bool operator==(const OrphanRow &, const OrphanRow &) = default;
};

/// The rows of the sites in their given order.
[[nodiscard]] QList<OrphanRow> orphanRows(const QStringList &siteIds,
                                          const std::function<QString(const QString &siteId)> &displayName,
                                          const QSet<QString> &pendingRevocation, bool publishingAvailable,
                                          bool localSaving);

/// The site a project stands for: its site record's id when the directory has one, else the
/// project's own site id.
[[nodiscard]] std::optional<QString> siteKey(const Project &project, const QList<SiteRecord> &sites);
/// The projects a site may be assigned to, in store order: those that stand for no site, and
/// those that name this very site without a record of it.
[[nodiscard]] QList<Project> assignCandidates(const QList<Project> &projects, const QList<SiteRecord> &sites,
                                              const QString &siteId);

/// The question before revoking a site's access, or before finishing a pending revocation;
/// `name` is display-safe.
[[nodiscard]] ConfirmRequest orphanRevocation(bool pending, const QString &name, std::function<void()> revoke);

} // namespace ProjectListRules
