// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "publishing/GrantRow.h"

#include "foundation/BackendTimestamp.h"
#include "foundation/JsonReader.h"

using namespace Qt::StringLiterals;

std::optional<GrantConnectionStatus> grantConnectionStatus(QStringView text)
{
    if (text == u"active")
        return GrantConnectionStatus::Active;
    if (text == u"revocation_pending")
        return GrantConnectionStatus::RevocationPending;
    if (text == u"revocation_confirmed")
        return GrantConnectionStatus::RevocationConfirmed;
    if (text == u"reconciliation_pending")
        return GrantConnectionStatus::ReconciliationPending;
    return std::nullopt;
}

std::optional<GrantRow> GrantRow::fromJson(const QJsonValue &value, QString *error, const QString &path)
{
    JsonReader reader(value, path, &BackendTimestamp::parse);
    GrantRow row;
    row.siteID = reader.text("site_id"_L1);
    row.siteName = reader.optionalText("site_name"_L1);
    row.domains = reader.optionalList("domains"_L1, &PublishDomain::fromJson);
    row.createdAt = reader.optionalDate("created_at"_L1);
    if (const std::optional<QString> status = reader.optionalText("connection_status"_L1)) {
        row.connectionStatus = grantConnectionStatus(*status);
        if (!row.connectionStatus)
            reader.fail("connection_status"_L1, u"is not a known grant status"_s);
    }
    if (!reader.finish(error))
        return std::nullopt;
    return row;
}
