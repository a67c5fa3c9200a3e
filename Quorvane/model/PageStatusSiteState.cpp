// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "model/PageStatusSiteState.h"

#include "backend/BackendTimestamp.h"
#include "model/JsonReader.h"

#include <algorithm>
#include <array>
#include <utility>

namespace {

const std::array<std::pair<QLatin1StringView, PageStatusPhase>, 6> phases{{
    {QLatin1StringView("authorizing"), PageStatusPhase::Authorizing},
    {QLatin1StringView("observing"), PageStatusPhase::Observing},
    {QLatin1StringView("active"), PageStatusPhase::Active},
    {QLatin1StringView("paused"), PageStatusPhase::Paused},
    {QLatin1StringView("disabling"), PageStatusPhase::Disabling},
    {QLatin1StringView("attention"), PageStatusPhase::Attention},
}};

} // namespace

bool PageStatusSiteState::isOn() const
{
    return desiredEnabled
        && (phase == PageStatusPhase::Observing || phase == PageStatusPhase::Active
            || phase == PageStatusPhase::Paused);
}

std::optional<PageStatusSiteState> PageStatusSiteState::fromJson(const QJsonObject &object)
{
    JsonReader reader(object, {}, &BackendTimestamp::parse);
    PageStatusSiteState row;
    row.siteId = reader.text(QLatin1StringView("site_id"));
    const QString phase = reader.text(QLatin1StringView("phase"));
    row.desiredEnabled = reader.boolean(QLatin1StringView("desired_enabled"));
    row.queuedCount = reader.integer(QLatin1StringView("queued_count"));
    row.stagedCount = reader.integer(QLatin1StringView("staged_count"));
    row.lastReconciledAt = reader.optionalDate(QLatin1StringView("last_reconciled_at"));
    row.attentionCode = reader.optionalText(QLatin1StringView("attention_code"));
    row.otherInstanceCount = reader.optionalInteger(QLatin1StringView("other_instance_count"));
    if (!reader.ok())
        return std::nullopt;
    const auto known = std::find_if(phases.cbegin(), phases.cend(),
                                    [&](const auto &entry) { return entry.first == phase; });
    if (known == phases.cend())
        return std::nullopt;
    row.phase = known->second;
    return row;
}
