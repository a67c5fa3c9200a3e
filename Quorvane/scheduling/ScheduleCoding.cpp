// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "scheduling/ScheduleCoding.h"

#include "foundation/BackendTimestamp.h"

namespace ScheduleCoding {

QDateTime parseCacheDate(QStringView text)
{
    if (text.size() != 20 || text[10] != u'T' || text[19] != u'Z')
        return {};
    const QDate date = QDate::fromString(text.first(10).toString(), u"yyyy-MM-dd");
    const QTime time = QTime::fromString(text.sliced(11, 8).toString(), u"HH:mm:ss");
    if (!date.isValid() || !time.isValid())
        return {};
    return QDateTime(date, time, Qt::UTC);
}

Reader::Reader(const QJsonValue &value, DateForm dates, QString path)
    : JsonReader(value, std::move(path), dates == DateForm::Cache ? &parseCacheDate : &BackendTimestamp::parse)
{
}

} // namespace ScheduleCoding
