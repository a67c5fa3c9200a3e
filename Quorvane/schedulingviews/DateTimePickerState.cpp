// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "schedulingviews/DateTimePickerState.h"

using namespace Qt::StringLiterals;

DateTimePickerState::DateTimePickerState(QObject *parent)
    : QObject(parent)
    , m_draft(m_now())
{
}

void DateTimePickerState::setEnvironment(QTimeZone zone, QLocale locale, std::function<QDateTime()> now)
{
    m_zone = std::move(zone);
    m_locale = std::move(locale);
    m_now = std::move(now);
    emit dateChanged();
    emit draftChanged();
}

void DateTimePickerState::setDate(const QDateTime &date)
{
    if (m_date == date)
        return;
    m_date = date;
    emit dateChanged();
}

void DateTimePickerState::setMinimumDate(const QDateTime &minimum)
{
    if (m_minimum == minimum)
        return;
    m_minimum = minimum;
    emit minimumDateChanged();
}

QString DateTimePickerState::pillText() const
{
    if (!m_date.isValid())
        return {};
    const QDateTime shown = local(m_date);
    return m_locale.toString(shown.date(), u"MMM d, yyyy") + u", "_s
        + m_locale.toString(shown.time(), QLocale::ShortFormat);
}

QDate DateTimePickerState::draftDay() const
{
    return local(m_draft).date();
}

QDate DateTimePickerState::minimumDay() const
{
    return m_minimum.isValid() ? local(m_minimum).date() : QDate();
}

int DateTimePickerState::dayKey(const QDate &day)
{
    return day.isValid() ? day.year() * 10000 + day.month() * 100 + day.day() : 0;
}

bool DateTimePickerState::usesDayPeriod() const
{
    const QString format = m_locale.timeFormat(QLocale::ShortFormat);
    return format.contains(u"AP"_s, Qt::CaseInsensitive) || format.contains(u'a');
}

QString DateTimePickerState::hourText() const
{
    const int hour = local(m_draft).time().hour();
    if (!usesDayPeriod())
        return u"%1"_s.arg(hour, 2, 10, QLatin1Char('0'));
    const int twelve = hour % 12 == 0 ? 12 : hour % 12;
    return QString::number(twelve);
}

QString DateTimePickerState::minuteText() const
{
    return u"%1"_s.arg(local(m_draft).time().minute(), 2, 10, QLatin1Char('0'));
}

bool DateTimePickerState::afternoon() const
{
    return local(m_draft).time().hour() >= 12;
}

void DateTimePickerState::pressPill()
{
    if (m_open) {
        // A second press is one more way to close: it commits like the others.
        close();
        return;
    }
    setDraft(m_date.isValid() ? m_date : m_now());
    const QString abbreviation = m_zone.abbreviation(m_now());
    const QString identifier = QString::fromUtf8(m_zone.id());
    m_zoneLabel = abbreviation.isEmpty() ? identifier : identifier + u" ("_s + abbreviation + u')';
    m_open = true;
    emit openChanged();
}

void DateTimePickerState::close()
{
    if (!m_open)
        return;
    m_open = false;
    emit openChanged();
    setDate(m_draft);
    emit committed(m_draft);
}

void DateTimePickerState::setDraft(QDateTime draft)
{
    if (m_minimum.isValid() && draft < m_minimum)
        draft = m_minimum;
    if (m_draft == draft)
        return;
    m_draft = draft;
    emit draftChanged();
}

void DateTimePickerState::pickDay(const QDate &day)
{
    if (!day.isValid() || (m_minimum.isValid() && day < minimumDay()))
        return;
    const QDateTime current = local(m_draft);
    setDraft(QDateTime(day, current.time(), m_zone).toUTC());
}

void DateTimePickerState::setTime(int hour, int minute)
{
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59)
        return;
    setDraft(QDateTime(draftDay(), QTime(hour, minute), m_zone).toUTC());
}

void DateTimePickerState::stepHour(int step)
{
    const QTime time = local(m_draft).time();
    setTime(((time.hour() + step) % 24 + 24) % 24, time.minute());
}

void DateTimePickerState::stepMinute(int step)
{
    const QTime time = local(m_draft).time();
    setTime(time.hour(), ((time.minute() + step) % 60 + 60) % 60);
}

void DateTimePickerState::toggleDayPeriod()
{
    const QTime time = local(m_draft).time();
    setTime((time.hour() + 12) % 24, time.minute());
}
