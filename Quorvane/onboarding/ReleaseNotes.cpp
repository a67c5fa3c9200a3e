#include "onboarding/ReleaseNotes.h"

#include <QHash>

namespace {

QStringList scheduledPublishingLines()
{
    return {
        QStringLiteral("New Scheduled Publishing tab"),
        QStringLiteral("Refreshed interface throughout"),
        QStringLiteral("New keyboard shortcuts"),
        QStringLiteral("Copy MCP setup instructions with one click"),
        QStringLiteral("Open projects directly in Webflow"),
        QStringLiteral("Success and failure notifications"),
        QStringLiteral("Safer recovery from authorization, storage, and connection failures"),
        QStringLiteral("Major reliability and security improvements"),
    };
}

QStringList scheduledPublishingSymbols()
{
    return {
        QStringLiteral("clock"),
        QStringLiteral("sparkles"),
        QStringLiteral("keyboard"),
        QStringLiteral("doc.on.doc"),
        QStringLiteral("webflow-logo"),
        QStringLiteral("bell.badge"),
        QStringLiteral("arrow.triangle.2.circlepath"),
        QStringLiteral("lock.shield"),
    };
}

bool isScheduledPublishingFollowUp(const QString &version)
{
    return version == QLatin1String("0.3.1") || version == QLatin1String("0.3.2");
}

QHash<QString, QStringList> buildTable()
{
    QStringList followUp = scheduledPublishingLines();
    followUp << QStringLiteral("A remembered account now asks you to sign in again when this computer's cloud session "
                               "is missing, then resumes publishing setup automatically.");
    return {
        {QStringLiteral("0.4.0"),
         {QStringLiteral("New Page Status tab"),
          QStringLiteral("See queued and staged changes right in Webflow page names"),
          QStringLiteral("Draft pages stay unmarked"),
          QStringLiteral("Turn it on per project; shared sites never get duplicate markers"),
          QStringLiteral("Turning it off removes only markers Quorvane can prove it owns")}},
        {QStringLiteral("0.3.2"), followUp},
        {QStringLiteral("0.3.1"), followUp},
        {QStringLiteral("0.3.0"), scheduledPublishingLines()},
        {QStringLiteral("0.2.25"),
         {QStringLiteral("Publishing waits for a running sync to finish"),
          QStringLiteral("Clearer messages when Webflow refuses a change")}},
        {QStringLiteral("0.2.24"), {QStringLiteral("Faster start when many projects are connected")}},
        {QStringLiteral("0.2.23"),
         {QStringLiteral("Reconnecting a site keeps its project settings"),
          QStringLiteral("Fixed a rare crash when closing the panel")}},
        {QStringLiteral("0.2.21"), {QStringLiteral("Sign-in now recovers after the computer wakes from sleep")}},
        {QStringLiteral("0.2.20"),
         {QStringLiteral("Copy a project's folder path from its menu"),
          QStringLiteral("Smoother panel animations")}},
        {QStringLiteral("0.2.19"), {QStringLiteral("Fixed projects showing as disconnected after an update")}},
        {QStringLiteral("0.2.18"),
         {QStringLiteral("New Start at login setting"),
          QStringLiteral("The panel remembers its last tab")}},
        {QStringLiteral("0.2.17"), {QStringLiteral("Clearer status when Claude Code is not installed")}},
        {QStringLiteral("0.2.14"),
         {QStringLiteral("Remove a project without deleting its files"),
          QStringLiteral("Fixed duplicate entries in the project list")}},
        {QStringLiteral("0.2.13"), {QStringLiteral("Better handling of slow connections")}},
        {QStringLiteral("0.2.12"),
         {QStringLiteral("Report a problem straight from the panel"),
          QStringLiteral("Logs now leave out personal details")}},
        {QStringLiteral("0.2.10"), {QStringLiteral("Fixed sign-in looping on some accounts")}},
        {QStringLiteral("0.2.9"),
         {QStringLiteral("Connect several sites to one project"),
          QStringLiteral("Reliability improvements")}},
        {QStringLiteral("0.2.8"), {QStringLiteral("Fixed the panel opening off screen")}},
        {QStringLiteral("0.2.7"), {QStringLiteral("Shows which account you are signed in with")}},
        {QStringLiteral("0.2.6"),
         {QStringLiteral("First public release"),
          QStringLiteral("Connect your Webflow sites to Claude Code")}},
    };
}

} // namespace

namespace ReleaseNotes {

std::optional<QStringList> linesFor(const QString &version)
{
    // Built on the first call; a function-local static makes racing first calls build it once.
    static const QHash<QString, QStringList> table = buildTable();
    const auto found = table.constFind(version);
    if (found == table.cend())
        return std::nullopt;
    return *found;
}

QStringList symbolsFor(const QString &version)
{
    if (version == QLatin1String("0.4.0")) {
        return {QStringLiteral("tag"), QStringLiteral("webflow-logo"), QStringLiteral("doc.badge.minus"),
                QStringLiteral("person.2"), QStringLiteral("recycle-bin")};
    }
    if (version == QLatin1String("0.3.0"))
        return scheduledPublishingSymbols();
    if (isScheduledPublishingFollowUp(version))
        return scheduledPublishingSymbols() << QStringLiteral("person.crop.circle.badge.exclamationmark");
    return {};
}

std::optional<QString> headlineFor(const QString &version)
{
    if (version == QLatin1String("0.4.0"))
        return QStringLiteral("Page Status is here!");
    if (version == QLatin1String("0.3.0") || isScheduledPublishingFollowUp(version))
        return QStringLiteral("Scheduled Publishing is here!");
    return std::nullopt;
}

} // namespace ReleaseNotes
