// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "app/ConnectionsTabRules.h"

#include "cli/Discovery.h"
#include "foundation/DisplayText.h"
#include "model/ProjectStore.h"

namespace ConnectionsTabRules {

namespace {

// The same cut the unmanaged cards and the add flow's messages use for outside names.
constexpr qsizetype kShownNameLength = 120;

using State = ClaudeCLI::AuthStatus::State;

} // namespace

bool showsFirstRunCard(const Facts &facts)
{
    return !facts.hasProjects && !facts.showingAdd && !facts.isLoading && !facts.hasLoadError;
}

std::optional<CLINotice> claudeCLINotice(const CLIEnvironment &environment)
{
    if (!environment.binary) {
        return CLINotice{QStringLiteral("Claude CLI not found"),
                         QStringLiteral("Install Claude Code. Quorvane picks it up on its own within a few seconds.")};
    }
    if (environment.supportsLogin) {
        const qsizetype broken = environment.brokenInstalls().size();
        if (broken == 0)
            return std::nullopt;
        // supportsLogin implies a known version; the guard keeps a hand-made environment honest.
        const QString version = environment.version ? environment.version->description() : QString();
        return CLINotice{QString::number(broken) + QStringLiteral(" broken Claude install")
                             + (broken >= 2 ? QStringLiteral("s") : QString()) + QStringLiteral(" ignored"),
                         QStringLiteral("Using ") + version + u'.'};
    }
    // An executable whose version could not be read still gets the sentence, with nothing where
    // the version would stand, so the user sees that this executable is the problem.
    const QString version = environment.version ? environment.version->description() : QString();
    return CLINotice{QStringLiteral("CLI ") + version + QStringLiteral(" can't authorize from here"),
                     QStringLiteral("Needs ") + ClaudeCLI::kFirstLoginVersion.description()
                         + QStringLiteral("+. Until then use a terminal: claude → /mcp.")};
}

QList<Banner> visibleBanners(const Facts &facts)
{
    QList<Banner> banners;
    if (facts.hasWhatsNew && !facts.searching)
        banners.append(Banner::whatsNew);
    if (facts.claude == State::signedOut && facts.hasConnections)
        banners.append(Banner::claudeSignedOut);
    if (claudeCLINotice(facts.environment))
        banners.append(Banner::claudeCLI);
    if (facts.hasPersistenceIssue)
        banners.append(Banner::persistence);
    if (facts.needsWebflowReset && !facts.searching)
        banners.append(Banner::webflowReset);
    return banners;
}

bool showsConnectionsEmptyState(const Facts &facts)
{
    return showsFirstRunCard(facts) && !facts.hasUnrecognized && visibleBanners(facts).size() < 2;
}

FirstRunCard firstRunCard(State claude)
{
    if (claude == State::signedOut) {
        return {QStringLiteral("person.crop.circle.fill"), QStringLiteral("First, sign into Claude"),
                QStringLiteral("Quorvane works through the Claude Code CLI. Signing in opens a browser."), true};
    }
    return {QStringLiteral("plus.circle.fill"), QStringLiteral("Add a Webflow project"),
            QStringLiteral("Register one client site with Claude Code and authorize it."), false};
}

std::optional<QString> reservedNameHint(const QString &typed)
{
    // The add flow derives the name from the trimmed text; the hint must name the same server.
    const QString name = normalizedMCPName(typed.trimmed());
    if (name.isEmpty())
        return std::nullopt;
    return QStringLiteral("Reserves ") + name + QStringLiteral(". Enter to add.");
}

std::optional<QString> nameCollisionHint(const ProjectStore &projects, const QString &typed,
                                         const QStringList &otherNames)
{
    const std::optional<ProjectStore::NameCollision> collision = projects.nameCollision(typed, otherNames);
    if (!collision)
        return std::nullopt;
    const QString shown = sanitizedForDisplay(collision->name, kShownNameLength);
    if (collision->kind == ProjectStore::NameCollision::Kind::exact)
        return QStringLiteral("Matches ") + shown + QStringLiteral(" exactly.");
    return QStringLiteral("Close to ") + shown + QStringLiteral(". Same client?");
}

} // namespace ConnectionsTabRules
