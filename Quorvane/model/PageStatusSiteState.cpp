// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "model/PageStatusSiteState.h"

#include "foundation/BackendTimestamp.h"
#include "foundation/JsonReader.h"
#include "foundation/RawTextTable.h"

namespace {

constexpr RawTextTable<PageStatusPhase, 6> phases{{{
    {PageStatusPhase::Authorizing, u"authorizing"},
    {PageStatusPhase::Observing, u"observing"},
    {PageStatusPhase::Active, u"active"},
    {PageStatusPhase::Paused, u"paused"},
    {PageStatusPhase::Disabling, u"disabling"},
    {PageStatusPhase::Attention, u"attention"},
}}};

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
    const std::optional<PageStatusPhase> known = phases.value(phase);
    if (!known)
        return std::nullopt;
    row.phase = *known;
    return row;
}
