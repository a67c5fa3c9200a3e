// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include <QDateTime>
#include <QJsonObject>
#include <QString>

#include <optional>

/// Where Page Status stands for one site. JSON carries the lower-case name of the case.
enum class PageStatusPhase {
    Authorizing, ///< "authorizing"
    Observing,   ///< "observing"
    Active,      ///< "active"
    Paused,      ///< "paused"
    Disabling,   ///< "disabling"
    Attention,   ///< "attention"
};

/**
 * @brief One Webflow site's Page Status as the backend reports it; its identity is the site id.
 */
struct PageStatusSiteState
{
    QString siteId;
    PageStatusPhase phase = PageStatusPhase::Authorizing;
    bool desiredEnabled = false;
    qint64 queuedCount = 0;
    qint64 stagedCount = 0;
    std::optional<QDateTime> lastReconciledAt;
    std::optional<QString> attentionCode;
    std::optional<qint64> otherInstanceCount;

    /// Whether Page Status is wanted and running (observing, active or paused) for the site.
    [[nodiscard]] bool isOn() const;

    /// The row of a backend object: the keys are the field names in snake case. A required key
    /// that is missing or null, a value of the wrong type or an unknown phase gives nothing; an
    /// optional key that is missing or null reads as absent.
    [[nodiscard]] static std::optional<PageStatusSiteState> fromJson(const QJsonObject &object);

    friend bool operator==(const PageStatusSiteState &, const PageStatusSiteState &) = default;
};
