// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "scheduling/ScheduleCoding.h"

#include "foundation/BackendTimestamp.h"
#include "foundation/InternetDateTime.h"

namespace ScheduleCoding {

QDateTime parseCacheDate(QStringView text)
{
    return InternetDateTime::parse(text, InternetDateTime::utcForm);
}

Reader::Reader(const QJsonValue &value, DateForm dates, QString path)
    : JsonReader(value, std::move(path), dates == DateForm::Cache ? &parseCacheDate : &BackendTimestamp::parse)
{
}

} // namespace ScheduleCoding
