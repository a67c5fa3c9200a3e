// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include <QDateTime>
#include <QLocale>
#include <QObject>
#include <QTimeZone>
#include <QtQml/qqmlregistration.h>

/**
 * @brief The date and time pill picker's state: the chosen moment, and the draft edited while
 * the popover is open. Every close commits the draft, however it happens (a click outside, the
 * system, or a second press on the pill); there is no cancel path.
 *
 * Edits never go below the minimum: the calendar offers no earlier day and the time field keeps
 * its value at or after it.
 */
class DateTimePickerState : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    /// The chosen moment; changes only at a commit (or when the owner sets it).
    Q_PROPERTY(QDateTime date READ date WRITE setDate NOTIFY dateChanged)
    /// The earliest moment that may be picked; invalid: no lower limit.
    Q_PROPERTY(QDateTime minimumDate READ minimumDate WRITE setMinimumDate NOTIFY minimumDateChanged)
    Q_PROPERTY(bool open READ isOpen NOTIFY openChanged)
    Q_PROPERTY(QString pillText READ pillText NOTIFY dateChanged)
    /// The draft's day as year * 10000 + month * 100 + day, in the picker's zone.
    Q_PROPERTY(int draftDayKey READ draftDayKey NOTIFY draftChanged)
    Q_PROPERTY(int draftYear READ draftYear NOTIFY draftChanged)
    /// January is 0, as the calendar counts.
    Q_PROPERTY(int draftMonth READ draftMonth NOTIFY draftChanged)
    /// The minimum's day as a key like draftDayKey; 0 without a minimum.
    Q_PROPERTY(int minimumDayKey READ minimumDayKey NOTIFY minimumDateChanged)
    Q_PROPERTY(QString hourText READ hourText NOTIFY draftChanged)
    Q_PROPERTY(QString minuteText READ minuteText NOTIFY draftChanged)
    Q_PROPERTY(bool afternoon READ afternoon NOTIFY draftChanged)
    /// Whether the locale writes times with a day period (AM/PM) rather than 24 hours.
    Q_PROPERTY(bool usesDayPeriod READ usesDayPeriod CONSTANT)
    Q_PROPERTY(QString amText READ amText CONSTANT)
    Q_PROPERTY(QString pmText READ pmText CONSTANT)
    /// The zone line of the popover, worked out when it opens.
    Q_PROPERTY(QString zoneLabel READ zoneLabel NOTIFY openChanged)

public:
    explicit DateTimePickerState(QObject *parent = nullptr);

    /// Tests pin the zone, the locale and the present moment; the application uses the system's.
    void setEnvironment(QTimeZone zone, QLocale locale, std::function<QDateTime()> now);

    [[nodiscard]] QDateTime date() const { return m_date; }
    void setDate(const QDateTime &date);
    [[nodiscard]] QDateTime minimumDate() const { return m_minimum; }
    void setMinimumDate(const QDateTime &minimum);
    [[nodiscard]] bool isOpen() const { return m_open; }
    [[nodiscard]] QDateTime draft() const { return m_draft; }
    [[nodiscard]] QString pillText() const;
    [[nodiscard]] QDate draftDay() const;
    [[nodiscard]] QDate minimumDay() const;
    [[nodiscard]] static int dayKey(const QDate &day);
    [[nodiscard]] int draftDayKey() const { return dayKey(draftDay()); }
    [[nodiscard]] int draftYear() const { return draftDay().year(); }
    [[nodiscard]] int draftMonth() const { return draftDay().month() - 1; }
    [[nodiscard]] int minimumDayKey() const { return dayKey(minimumDay()); }
    [[nodiscard]] QString hourText() const;
    [[nodiscard]] QString minuteText() const;
    [[nodiscard]] bool afternoon() const;
    [[nodiscard]] bool usesDayPeriod() const;
    [[nodiscard]] QString amText() const { return m_locale.amText(); }
    [[nodiscard]] QString pmText() const { return m_locale.pmText(); }
    [[nodiscard]] QString zoneLabel() const { return m_zoneLabel; }

    /// The pill: opens on a fresh copy of the date, or closes (and commits) an open popover.
    Q_INVOKABLE void pressPill();
    /// Any other close of the popover; commits the draft.
    Q_INVOKABLE void close();
    /// The calendar's pick: the day changes, the time of day stays.
    void pickDay(const QDate &day);
    /// The same with the calendar's numbers (January is 0).
    Q_INVOKABLE void pickDay(int year, int month, int day) { pickDay(QDate(year, month + 1, day)); }
    /// The time field: @p hour on the 24-hour clock and @p minute, on the draft's day.
    Q_INVOKABLE void setTime(int hour, int minute);
    /// Steps the hour or minute field by @p step, wrapping within the day.
    Q_INVOKABLE void stepHour(int step);
    Q_INVOKABLE void stepMinute(int step);
    /// Switches between the morning and the afternoon.
    Q_INVOKABLE void toggleDayPeriod();

signals:
    void dateChanged();
    void minimumDateChanged();
    void openChanged();
    void draftChanged();
    /// The popover closed and its draft became the date.
    void committed(const QDateTime &date);

private:
    void setDraft(QDateTime draft);
    [[nodiscard]] QDateTime local(const QDateTime &instant) const { return instant.toTimeZone(m_zone); }

    QTimeZone m_zone = QTimeZone::systemTimeZone();
    QLocale m_locale;
    std::function<QDateTime()> m_now = [] { return QDateTime::currentDateTimeUtc(); };
    QDateTime m_date;
    QDateTime m_minimum;
    QDateTime m_draft;
    bool m_open = false;
    QString m_zoneLabel;
};
