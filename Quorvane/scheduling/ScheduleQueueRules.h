// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include "account/AccountModel.h"
#include "scheduling/ScheduleStore.h"
#include "scheduling/ScheduledPublish.h"

#include <QList>
#include <QString>
#include <QUuid>

#include <optional>

/// @brief The words and look of one banner card of the scheduling screen.
struct ScheduleBanner
{
    enum class Tone { Brand, Warning };

    QString symbol;
    QString heading;
    QString detail;
    Tone tone = Tone::Warning;
    QString linkLabel; ///< empty: no link
    QString linkHelp;  ///< the link's tooltip; empty: none

    friend bool operator==(const ScheduleBanner &, const ScheduleBanner &) = default;
};

/// @brief What one schedule card shows and lets the user do.
struct ScheduleCardState
{
    bool running = false; ///< the cloud is publishing it now
    bool controlsEnabled = true;
    QString trashHelp;
    QString menuHelp;
    bool showsMissingAccess = false;

    friend bool operator==(const ScheduleCardState &, const ScheduleCardState &) = default;
};

/// The scheduling screen's decisions: which rows the queue shows, which banners say what, and how
/// a card stands.
namespace ScheduleQueueRules {

/// Which cloud banner shows, before a dismissal is taken into account.
enum class CloudBanner { None, Cloud, SignedOut, Unreachable };

/// The queue's rows: the store's order (earliest first) or its exact reverse, leaving out the
/// publish of the site being rescheduled unless the cloud reported it as the superseding one.
[[nodiscard]] QList<ScheduledPublish> visibleSchedules(const QList<ScheduledPublish> &schedules, bool soonestFirst,
                                                       const std::optional<QUuid> &editingScheduleID,
                                                       const std::optional<QString> &selectedSiteID,
                                                       const std::optional<QUuid> &supersedingID);

[[nodiscard]] CloudBanner cloudBanner(ScheduleStore::CloudState cloudState, AccountModel::SessionKind session);
/// A dismissal hides only the "Cloud scheduling" card.
[[nodiscard]] bool cloudBannerPresented(ScheduleStore::CloudState cloudState, bool dismissed);
/// The card of @p banner; an empty card for None.
[[nodiscard]] ScheduleBanner cloudBannerCard(CloudBanner banner, bool hasProfile);

/// "A scheduled publish didn't go out" for one item, "3 scheduled publishes didn't go out" for three.
[[nodiscard]] QString attentionHeading(qsizetype count);

/// How the card of @p schedule stands.
[[nodiscard]] ScheduleCardState cardState(const ScheduledPublish &schedule, bool needsPublishing);

} // namespace ScheduleQueueRules
