// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include <QDateTime>
#include <QMetaType>
#include <QString>
#include <QUuid>

#include <optional>

/**
 * @brief One long-running activity as the activity overlay shows it: what runs, a fixed note, the
 * redacted output so far and how it ended. The application model holds at most one at a time.
 */
struct ActivitySheet
{
    Q_GADGET
    Q_PROPERTY(QUuid id MEMBER id)
    Q_PROPERTY(Kind kind MEMBER kind)
    Q_PROPERTY(QString title MEMBER title)
    Q_PROPERTY(QString subject READ subjectText)
    Q_PROPERTY(bool hasSubject READ hasSubject)
    Q_PROPERTY(QDateTime startedAt MEMBER startedAt)
    Q_PROPERTY(QString note MEMBER note)
    Q_PROPERTY(QString log MEMBER log)
    Q_PROPERTY(Outcome outcome MEMBER outcome)

public:
    enum class Kind { authorizing, verifying, connectingPublishing, error };
    Q_ENUM(Kind)
    enum class Outcome { running, success, warning, failure };
    Q_ENUM(Outcome)

    /// New for every activity; the key of everything kept beside the sheet.
    QUuid id;
    Kind kind = Kind::authorizing;
    QString title;
    /// What the activity works on: a connection name, a publishing label or the Claude sign-in
    /// subject; none for batch and error sheets.
    std::optional<QString> subject;
    QDateTime startedAt;
    QString note;
    QString log;
    Outcome outcome = Outcome::running;

    [[nodiscard]] QString subjectText() const { return subject.value_or(QString()); }
    [[nodiscard]] bool hasSubject() const { return subject.has_value(); }
};

Q_DECLARE_METATYPE(ActivitySheet)
