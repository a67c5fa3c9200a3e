// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "model/PageStatusSiteState.h"

#include "backend/BackendTimestamp.h"

#include <algorithm>
#include <array>
#include <cmath>
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

bool isPresent(const QJsonValue &value)
{
    return !value.isUndefined() && !value.isNull();
}

/// A whole JSON number within the signed 64-bit range; nothing for any other value.
std::optional<qint64> integer(const QJsonValue &value)
{
    if (!value.isDouble())
        return std::nullopt;
    const double number = value.toDouble();
    // 2^63 itself is out of range, and the first double below it is not.
    if (std::trunc(number) != number || number < -9223372036854775808.0 || number >= 9223372036854775808.0)
        return std::nullopt;
    return value.toInteger();
}

} // namespace

bool PageStatusSiteState::isOn() const
{
    return desiredEnabled
        && (phase == PageStatusPhase::Observing || phase == PageStatusPhase::Active
            || phase == PageStatusPhase::Paused);
}

std::optional<PageStatusSiteState> PageStatusSiteState::fromJson(const QJsonObject &object)
{
    PageStatusSiteState row;

    const QJsonValue siteId = object.value(QLatin1StringView("site_id"));
    const QJsonValue phase = object.value(QLatin1StringView("phase"));
    const QJsonValue desiredEnabled = object.value(QLatin1StringView("desired_enabled"));
    const std::optional<qint64> queued = integer(object.value(QLatin1StringView("queued_count")));
    const std::optional<qint64> staged = integer(object.value(QLatin1StringView("staged_count")));
    if (!siteId.isString() || !phase.isString() || !desiredEnabled.isBool() || !queued || !staged)
        return std::nullopt;
    const auto known = std::find_if(phases.cbegin(), phases.cend(),
                                    [&](const auto &entry) { return entry.first == phase.toString(); });
    if (known == phases.cend())
        return std::nullopt;
    row.siteId = siteId.toString();
    row.phase = known->second;
    row.desiredEnabled = desiredEnabled.toBool();
    row.queuedCount = *queued;
    row.stagedCount = *staged;

    const QJsonValue reconciled = object.value(QLatin1StringView("last_reconciled_at"));
    if (isPresent(reconciled)) {
        const QDateTime at = reconciled.isString() ? BackendTimestamp::parse(reconciled.toString()) : QDateTime();
        if (!at.isValid())
            return std::nullopt;
        row.lastReconciledAt = at;
    }
    const QJsonValue attentionCode = object.value(QLatin1StringView("attention_code"));
    if (isPresent(attentionCode)) {
        if (!attentionCode.isString())
            return std::nullopt;
        row.attentionCode = attentionCode.toString();
    }
    const QJsonValue otherInstances = object.value(QLatin1StringView("other_instance_count"));
    if (isPresent(otherInstances)) {
        row.otherInstanceCount = integer(otherInstances);
        if (!row.otherInstanceCount)
            return std::nullopt;
    }
    return row;
}
