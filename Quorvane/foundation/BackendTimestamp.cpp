// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "foundation/BackendTimestamp.h"

#include <QRegularExpression>

namespace BackendTimestamp {

QDateTime parse(QStringView text)
{
    static const QRegularExpression pattern(QStringLiteral(
        R"(^(\d{4})-(\d{2})-(\d{2})T(\d{2}):(\d{2}):(\d{2})(?:\.(\d{1,9}))?(?:(Z)|([+-])(\d{2})(?::?(\d{2}))?)$)"));
    const QRegularExpressionMatch match = pattern.match(text);
    if (!match.hasMatch())
        return {};

    const auto number = [&match](int group) { return match.capturedView(group).toInt(); };
    const QDate date(number(1), number(2), number(3));
    const QString fraction = match.captured(7).leftJustified(3, u'0').left(3);
    const QTime time(number(4), number(5), number(6), fraction.toInt());
    if (!date.isValid() || !time.isValid())
        return {};

    int offsetSeconds = 0;
    if (match.capturedLength(8) == 0) {
        const int hours = number(10);
        const int minutes = match.capturedLength(11) ? number(11) : 0;
        if (hours > 23 || minutes > 59)
            return {};
        offsetSeconds = (hours * 3600 + minutes * 60) * (match.capturedView(9) == u'-' ? -1 : 1);
    }
    return QDateTime(date, time, Qt::OffsetFromUTC, offsetSeconds).toUTC();
}

QString format(const QDateTime &instant)
{
    return instant.toUTC().toString(Qt::ISODateWithMs);
}

} // namespace BackendTimestamp
