// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "foundation/InternetDateTime.h"

#include <QRegularExpression>

namespace InternetDateTime {

QDateTime parse(QStringView text)
{
    static const QRegularExpression pattern(QRegularExpression::anchoredPattern(QStringLiteral(
        R"((\d{4})-(\d{2})-(\d{2})T(\d{2}):(\d{2}):(\d{2})(?:(Z)|([+-])(\d{2}):(\d{2})))")));
    const QRegularExpressionMatch match = pattern.match(text);
    if (!match.hasMatch())
        return {};

    const auto number = [&match](int group) { return match.capturedView(group).toInt(); };
    const QDate date(number(1), number(2), number(3));
    const QTime time(number(4), number(5), number(6));
    if (!date.isValid() || !time.isValid())
        return {};

    int offsetSeconds = 0;
    if (match.capturedLength(7) == 0) {
        if (number(9) > 23 || number(10) > 59)
            return {};
        offsetSeconds = (number(9) * 3600 + number(10) * 60) * (match.capturedView(8) == u'-' ? -1 : 1);
    }
    return QDateTime(date, time, Qt::OffsetFromUTC, offsetSeconds).toUTC();
}

QString format(const QDateTime &instant)
{
    return instant.toUTC().toString(Qt::ISODate);
}

} // namespace InternetDateTime
