// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include "cli/StatusQueries.h"
#include "model/CLIEnvironment.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

class ProjectStore;

/**
 * @brief The decisions of the Connections tab, free of any view: whether the first-run card
 * stands in the top bar, which notices the banner column shows and in which order, whether the
 * empty state may show under them, and the two hints of the add field.
 */
namespace ConnectionsTabRules {

/// What the tab's decisions read of the model and the panel at one moment.
struct Facts
{
    bool hasProjects = false;
    bool showingAdd = false;
    bool isLoading = false;
    bool hasLoadError = false;
    bool hasUnrecognized = false;
    /// A what's-new list is held (it may be empty; the card still shows).
    bool hasWhatsNew = false;
    /// The trimmed search text is not empty.
    bool searching = false;
    ClaudeCLI::AuthStatus::State claude = ClaudeCLI::AuthStatus::State::unknown;
    bool hasConnections = false;
    CLIEnvironment environment;
    bool hasPersistenceIssue = false;
    bool needsWebflowReset = false;

    friend bool operator==(const Facts &, const Facts &) = default;
};

/// The rows of the banner column above the add card, in the order they stand.
enum class Banner {
    whatsNew,
    claudeSignedOut,
    claudeCLI,
    persistence,
    webflowReset,
};

/// The heading and detail of the notice about the claude command line.
struct CLINotice
{
    QString heading;
    QString detail;

    friend bool operator==(const CLINotice &, const CLINotice &) = default;
};

/// The first-run card: what it says and whether it signs claude in (else it opens the add field).
struct FirstRunCard
{
    QString symbol;
    QString heading;
    QString detail;
    bool signsIn = false;
};

/// No project yet and nothing else to show in its place: the top bar holds the first-run card.
[[nodiscard]] bool showsFirstRunCard(const Facts &facts);
/// The notice about claude's installation; none when the one in use can do everything.
[[nodiscard]] std::optional<CLINotice> claudeCLINotice(const CLIEnvironment &environment);
/// The banners on screen, top to bottom.
[[nodiscard]] QList<Banner> visibleBanners(const Facts &facts);
/// The Connections empty state: only on a first run with no unmanaged entry, and never under two
/// or more banners, which it would overlap.
[[nodiscard]] bool showsConnectionsEmptyState(const Facts &facts);
[[nodiscard]] FirstRunCard firstRunCard(ClaudeCLI::AuthStatus::State claude);

/// "Reserves webflow-… . Enter to add." for the server name the typed name would take; none when
/// it would take none.
[[nodiscard]] std::optional<QString> reservedNameHint(const QString &typed);
/**
 * The warning that the typed name is the same as, or close to, a project's title or server name
 * or one of `otherNames` (the listed connections, then the unmanaged entries); none without a
 * collision. Names that came from Claude's registry are shown display-safe.
 */
[[nodiscard]] std::optional<QString> nameCollisionHint(const ProjectStore &projects, const QString &typed,
                                                       const QStringList &otherNames);

} // namespace ConnectionsTabRules
