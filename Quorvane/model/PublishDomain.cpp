// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "model/PublishDomain.h"

#include "foundation/JsonReader.h"

using namespace Qt::StringLiterals;

QJsonObject PublishDomain::toJson() const
{
    return {{u"id"_s, id}, {u"url"_s, url}, {u"isStaging"_s, isStaging}};
}

QJsonArray PublishDomain::toJsonArray(const QList<PublishDomain> &domains)
{
    QJsonArray array;
    for (const PublishDomain &domain : domains)
        array.append(domain.toJson());
    return array;
}

std::optional<PublishDomain> PublishDomain::fromJson(const QJsonValue &value, QString *error,
                                                     const QString &path)
{
    JsonReader reader(value, path);
    PublishDomain domain{reader.text("id"_L1), reader.text("url"_L1), reader.boolean("isStaging"_L1)};
    if (!reader.finish(error))
        return std::nullopt;
    return domain;
}
