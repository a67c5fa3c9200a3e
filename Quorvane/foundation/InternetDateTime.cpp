// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "foundation/InternetDateTime.h"

#include <optional>

namespace InternetDateTime {

namespace {

/// Reads a text from left to right; every step answers whether it matched.
class Cursor
{
public:
    explicit Cursor(QStringView text)
        : m_text(text)
    {
    }

    bool atEnd() const { return m_at == m_text.size(); }

    bool skip(char16_t character)
    {
        if (atEnd() || m_text.at(m_at) != character)
            return false;
        ++m_at;
        return true;
    }

    /// Exactly @p count ASCII digits as a number; other digits (Arabic-Indic and the like) are not
    /// what any of these texts write.
    bool number(qsizetype count, int &value)
    {
        if (m_text.size() - m_at < count)
            return false;
        int result = 0;
        for (qsizetype index = m_at; index < m_at + count; ++index) {
            const char16_t c = m_text.at(index).unicode();
            if (c < u'0' || c > u'9')
                return false;
            result = result * 10 + (c - u'0');
        }
        m_at += count;
        value = result;
        return true;
    }

    /// One to @p most ASCII digits read as a fraction of a second, in milliseconds.
    bool fraction(int most, int &milliseconds)
    {
        int digits = 0;
        int result = 0;
        while (!atEnd() && m_text.at(m_at) >= u'0' && m_text.at(m_at) <= u'9') {
            if (++digits > most)
                return false;
            if (digits <= 3)
                result = result * 10 + (m_text.at(m_at).unicode() - u'0');
            ++m_at;
        }
        for (int padding = digits; padding < 3; ++padding)
            result *= 10;
        milliseconds = result;
        return digits > 0;
    }

private:
    QStringView m_text;
    qsizetype m_at = 0;
};

/// The zone after the time, as seconds east of UTC; nothing when it is not one @p form allows.
std::optional<int> zone(Cursor &cursor, const Form &form)
{
    if (cursor.skip(u'Z'))
        return 0;
    int sign = 0;
    if (cursor.skip(u'+'))
        sign = 1;
    else if (cursor.skip(u'-'))
        sign = -1;
    if (sign == 0)
        return form.zoneless ? std::optional(0) : std::nullopt;
    if (!form.offsets)
        return std::nullopt;

    int hours = 0;
    int minutes = 0;
    if (!cursor.number(2, hours))
        return std::nullopt;
    if (cursor.skip(u':')) {
        if (!cursor.number(2, minutes))
            return std::nullopt;
    } else if (!form.compactOffsets || (!cursor.atEnd() && !cursor.number(2, minutes))) {
        return std::nullopt;
    }
    if (hours > 23 || minutes > 59)
        return std::nullopt;
    return sign * (hours * 3600 + minutes * 60);
}

} // namespace

QDateTime parse(QStringView text, const Form &form)
{
    Cursor cursor(text);
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    if (!cursor.number(4, year) || !cursor.skip(u'-') || !cursor.number(2, month) || !cursor.skip(u'-')
        || !cursor.number(2, day) || !cursor.skip(u'T') || !cursor.number(2, hour) || !cursor.skip(u':')
        || !cursor.number(2, minute) || !cursor.skip(u':') || !cursor.number(2, second))
        return {};
    int milliseconds = 0;
    if (form.fractionDigits > 0 && cursor.skip(u'.') && !cursor.fraction(form.fractionDigits, milliseconds))
        return {};
    const std::optional<int> offset = zone(cursor, form);
    if (!offset || !cursor.atEnd())
        return {};

    const QDate date(year, month, day);
    const QTime time(hour, minute, second, milliseconds);
    if (!date.isValid() || !time.isValid())
        return {};
    const QDateTime instant = QDateTime(date, time, Qt::UTC).addSecs(-*offset);
    // An offset can carry a date at either end of the calendar past it ("0001-01-01T00:00:00+01:00"),
    // and such an instant has no text to be written back as.
    const int utcYear = instant.date().year();
    if (utcYear < 1 || utcYear > 9999)
        return {};
    return instant;
}

QDateTime parse(QStringView text)
{
    return parse(text, fileForm);
}

QString format(const QDateTime &instant)
{
    return instant.toUTC().toString(Qt::ISODate);
}

} // namespace InternetDateTime
