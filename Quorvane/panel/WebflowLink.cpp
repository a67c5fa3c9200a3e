// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "panel/WebflowLink.h"

#include "panel/DesignerLink.h"
#include "publishing/PublishAccessStore.h"

std::optional<QUrl> WebflowLink::link() const
{
    const std::optional<SiteRecord> site = siteRecord();
    const QList<PublishDomain> domains =
        site && publishAccess() ? publishAccess()->domains().value(site->id) : QList<PublishDomain>();
    return DesignerLink::of(site, domains);
}

QString WebflowLink::help() const
{
    return DesignerLink::help(hasLink());
}

QString WebflowLink::accessibilityLabel() const
{
    return DesignerLink::accessibilityLabel(hasLink(), siteLabel());
}

QString WebflowLink::accessibilityHint() const
{
    return DesignerLink::accessibilityHint(hasLink());
}

void WebflowLink::press()
{
    if (!project())
        return;
    const std::optional<QUrl> designer = link();
    const DesignerLink::Press press = DesignerLink::pressOf(designer.has_value(), connectionStatus());
    if (press == DesignerLink::Press::open) {
        if (desktop() && !desktop()->openUrl(*designer) && actions())
            actions()->present(DesignerLink::refusedNotice());
        return;
    }
    std::optional<ConfirmRequest> prompt = DesignerLink::prompt(press, title());
    if (!prompt || !actions())
        return;
    // What confirming does is fixed now: a connection that changes while the prompt is open does
    // not turn a verify into a connect.
    const Project captured = *project();
    QPointer<ProjectActions> target = actions();
    const bool verify = press == DesignerLink::Press::verify;
    prompt->action = [target, captured, verify] {
        if (!target)
            return;
        if (verify)
            target->verifyScope(captured.mcpName);
        else
            target->connectProject(captured, false, false);
    };
    actions()->present(std::move(*prompt));
}
