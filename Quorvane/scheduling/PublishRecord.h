// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include "model/PublishDomain.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QUuid>

#include <optional>

/// @brief One finished publish as the history shows it; held in memory only.
struct PublishRecord
{
    /// How the publish ended.
    enum class Outcome {
        Published,             ///< the publish went out
        Failed,                ///< it failed; `failure` may say why
        SkippedDrift,          ///< skipped because the site was edited after scheduling
        SkippedTargetsChanged, ///< skipped because the publish targets changed
    };

    QUuid id;                          ///< the schedule that finished
    QString siteName;                  ///< site display name
    QDateTime publishAt;               ///< when it was due
    QString timeZoneID;                ///< zone it was scheduled in
    QList<PublishDomain> domains;      ///< its targets
    Outcome outcome = Outcome::Failed; ///< how it ended
    std::optional<QDateTime> completedAt; ///< when the cloud finished it
    std::optional<QString> failure;       ///< the cloud's failure text

    friend bool operator==(const PublishRecord &, const PublishRecord &) = default;
};
