// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "scheduling/PublishEventRow.h"

#include "scheduling/ScheduleCoding.h"

using namespace Qt::StringLiterals;
using namespace ScheduleCoding;

std::optional<PublishEventRow> PublishEventRow::fromJson(const QJsonValue &value, QString *error,
                                                         const QString &path)
{
    Reader reader(value, DateForm::Backend, path);
    PublishEventRow row{reader.uuid("id"_L1), reader.text("kind"_L1), reader.text("message"_L1),
                        reader.date("created_at"_L1)};
    if (!reader.finish(error))
        return std::nullopt;
    return row;
}

std::optional<QList<PublishEventRow>> PublishEventRow::listFromJson(const QJsonValue &value,
                                                                    QString *error)
{
    return decodeList(value, &PublishEventRow::fromJson, error);
}
