// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "publishing/SiteState.h"

#include "foundation/InternetDateTime.h"
#include "foundation/JsonReader.h"

#include <QRegularExpression>

using namespace Qt::StringLiterals;

QJsonObject SiteStateRequest::toJson() const
{
    return {{u"siteId"_s, siteID}};
}

std::optional<SiteState> SiteState::fromJson(const QJsonValue &value, QString *error)
{
    JsonReader reader(value);
    SiteState state{reader.optionalText("lastUpdated"_L1)};
    if (!reader.finish(error))
        return std::nullopt;
    return state;
}

std::optional<QDateTime> SiteState::lastUpdatedDate() const
{
    if (!lastUpdated)
        return std::nullopt;
    return internetDateTimeWithOptionalFraction(*lastUpdated);
}

std::optional<QDateTime> internetDateTimeWithOptionalFraction(QStringView text)
{
    // The whole-second form is InternetDateTime's; a fraction is taken off, the rest read the
    // same way, and the milliseconds added back.
    static const QRegularExpression fraction(
        QRegularExpression::anchoredPattern(uR"((.+T\d{2}:\d{2}:\d{2})\.(\d+)(Z|[+-]\d{2}:\d{2}))"_s));
    if (const QRegularExpressionMatch match = fraction.match(text); match.hasMatch()) {
        const QDateTime whole = InternetDateTime::parse(match.captured(1) + match.captured(3));
        if (!whole.isValid())
            return std::nullopt;
        return whole.addMSecs(match.captured(2).leftJustified(3, u'0').left(3).toInt());
    }
    const QDateTime whole = InternetDateTime::parse(text);
    if (!whole.isValid())
        return std::nullopt;
    return whole;
}
