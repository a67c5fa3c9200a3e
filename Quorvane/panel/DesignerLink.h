// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include "model/ConfirmRequest.h"
#include "model/ConnectionStatus.h"
#include "model/PublishDomain.h"
#include "model/SiteRecord.h"

#include <QList>
#include <QString>
#include <QStringView>
#include <QUrl>

#include <optional>

/**
 * @brief The Webflow button of a project: the Designer address of the project's site, and what a
 * press does without one (ask to verify, connect or reconnect the project first).
 */
class DesignerLink
{
    Q_GADGET

public:
    /// The end of a site builder staging domain; what is before it is the site's short name.
    static constexpr QStringView stagingDomainSuffix = u".webflow.io";

    /// What a press does.
    enum class Press { open, verify, connect, reconnect };
    Q_ENUM(Press)

    /**
     * The Designer address of the site: from the first staging domain of its publishing grant
     * when that ends in the staging suffix, otherwise from the record's own short name; none
     * without a site or with a short name the Designer cannot have.
     */
    [[nodiscard]] static std::optional<QUrl> of(const std::optional<SiteRecord> &site,
                                                const QList<PublishDomain> &domains);
    [[nodiscard]] static Press pressOf(bool hasLink, const std::optional<ConnectionStatus> &status);

    /// The tooltip.
    [[nodiscard]] static QString help(bool hasLink);
    [[nodiscard]] static QString accessibilityLabel(bool hasLink, const QString &siteLabel);
    [[nodiscard]] static QString accessibilityHint(bool hasLink);

    /// The question a press without a link raises (no action yet); none for `open`.
    [[nodiscard]] static std::optional<ConfirmRequest> prompt(Press press, const QString &projectTitle);
    /// The notice shown when the browser refuses the link.
    [[nodiscard]] static ConfirmRequest refusedNotice();
};
