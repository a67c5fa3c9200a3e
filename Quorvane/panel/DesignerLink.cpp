// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "panel/DesignerLink.h"

#include "model/SiteRef.h"

std::optional<QUrl> DesignerLink::of(const std::optional<SiteRecord> &site, const QList<PublishDomain> &domains)
{
    if (!site)
        return std::nullopt;
    // The grant's staging domain is newer than the record's short name, so it decides when it
    // can; only the first staging domain counts.
    for (const PublishDomain &domain : domains) {
        if (!domain.isStaging)
            continue;
        if (!domain.url.endsWith(stagingDomainSuffix))
            break;
        const QString shortName = domain.url.chopped(stagingDomainSuffix.size());
        if (shortName.isEmpty())
            return std::nullopt;
        return SiteRef::designerURL(shortName);
    }
    if (site->shortName && !site->shortName->isEmpty())
        return SiteRef::designerURL(*site->shortName);
    return std::nullopt;
}

DesignerLink::Press DesignerLink::pressOf(bool hasLink, const std::optional<ConnectionStatus> &status)
{
    if (hasLink)
        return Press::open;
    if (!status)
        return Press::connect;
    return *status == ConnectionStatus::connected ? Press::verify : Press::reconnect;
}

QString DesignerLink::help(bool hasLink)
{
    return hasLink ? QStringLiteral("Open in Webflow") : QStringLiteral("Verify to open in Webflow");
}

QString DesignerLink::accessibilityLabel(bool hasLink, const QString &siteLabel)
{
    return hasLink ? QStringLiteral("Open ") + siteLabel + QStringLiteral(" in Webflow")
                   : QStringLiteral("Verify site to open in Webflow");
}

QString DesignerLink::accessibilityHint(bool hasLink)
{
    return hasLink ? QStringLiteral("Opens the Webflow Designer in your browser")
                   : QStringLiteral("Runs a site scope check");
}

std::optional<ConfirmRequest> DesignerLink::prompt(Press press, const QString &projectTitle)
{
    ConfirmRequest request;
    switch (press) {
    case Press::open:
        return std::nullopt;
    case Press::verify:
        request.title = QStringLiteral("Verify ") + projectTitle + QStringLiteral("?");
        request.message = QStringLiteral("Runs a quick scope check with Claude so this card can open the site in Webflow.");
        request.confirmLabel = QStringLiteral("Verify");
        break;
    case Press::connect:
        request.title = QStringLiteral("Connect ") + projectTitle + QStringLiteral("?");
        request.message = QStringLiteral("Registers it with Claude Code and connects it, then it can open in Webflow.");
        request.confirmLabel = QStringLiteral("Connect");
        break;
    case Press::reconnect:
        request.title = QStringLiteral("Reconnect ") + projectTitle + QStringLiteral("?");
        request.message = QStringLiteral("Checks the existing Claude registration first, then offers re-authentication only if it still needs attention.");
        request.confirmLabel = QStringLiteral("Check");
        break;
    }
    return request;
}

ConfirmRequest DesignerLink::refusedNotice()
{
    return ConfirmRequest::notice(
        QStringLiteral("Couldn't open Webflow"),
        QStringLiteral("The browser refused the Webflow Designer link. Check your default browser and try again."),
        QStringLiteral("cloud-off"));
}
