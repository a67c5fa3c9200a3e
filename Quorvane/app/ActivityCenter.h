// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include "model/ActivitySheet.h"

#include <QHash>
#include <QObject>
#include <QSet>
#include <QString>
#include <QUuid>

#include <functional>
#include <optional>

class Clock;
namespace ClaudeCLI {
class ClaudeDriver;
}

/**
 * @brief The one activity sheet the panel shows and the bookkeeping kept beside it: the unfinished
 * output line of each activity, the activities the user cancelled, the connection each works on
 * and a retry waiting for a cancelled run to end.
 *
 * Flows open a sheet, hand it the output of their commands chunk by chunk and finish it; only whole
 * lines, each redacted as a whole, reach the log. Output for a sheet that is no longer shown, that
 * has finished or that the user cancelled is dropped. Everything runs on the GUI thread.
 */
class ActivityCenter final : public QObject
{
    Q_OBJECT
    /// The sheet shown; an invalid id when none.
    Q_PROPERTY(ActivitySheet sheet READ sheetValue NOTIFY sheetChanged)
    Q_PROPERTY(bool hasSheet READ hasSheet NOTIFY sheetChanged)
    /// The subject of a retry waiting for the cancelled run to end; empty when none.
    Q_PROPERTY(QString pendingRetry READ pendingRetryText NOTIFY pendingRetryChanged)

public:
    /// What the centre asks of the flows that own the work behind a sheet.
    struct Hooks
    {
        /// Starts a new attempt for a subject whose retry was pending: the Claude sign-in for
        /// `ClaudeCLI::claudeAuthKey()`, else the authorization of that connection.
        std::function<void(const QString &subject)> startRetry;
        /// Stops the publishing connect behind a cancelled publishing sheet; the centre then ends
        /// the sheet as failed.
        std::function<void(const QUuid &activityId)> cancelPublishing;
        /// The sheet was closed: a notice held back while it showed may now appear.
        std::function<void()> closed;
    };

    /// The longest unfinished output line kept, in UTF-8 bytes.
    static constexpr qsizetype maxLineBytes = 4096;
    /// The log keeps this many characters (grapheme clusters) of the newest output.
    static constexpr qsizetype maxLogCharacters = 40000;

    ActivityCenter(ClaudeCLI::ClaudeDriver &driver, const Clock &clock, QObject *parent = nullptr);

    void setHooks(Hooks hooks);

    [[nodiscard]] const std::optional<ActivitySheet> &sheet() const { return m_sheet; }
    [[nodiscard]] const std::optional<QString> &pendingRetry() const { return m_pendingRetry; }

    /**
     * Shows a new sheet, replacing whatever was shown (the older activity runs on out of sight),
     * and answers its id. Error sheets are opened already finished. A flow that supports retry
     * calls `dropRetryOfOtherSubject` first.
     */
    QUuid open(ActivitySheet::Kind kind, const QString &title, const std::optional<QString> &subject,
               const QString &note, ActivitySheet::Outcome outcome = ActivitySheet::Outcome::running);
    /// Shows an error sheet that opens already failed, with no subject and `log` as its whole
    /// log (the caller redacts it), replacing whatever was shown; answers its id.
    QUuid openError(const QString &title, const QString &note, const QString &log);
    /// Forgets a pending retry for any subject other than `subject`.
    void dropRetryOfOtherSubject(const QString &subject);

    /// Retitles the shown sheet when it is that activity's (a batch counts its way through).
    void setTitle(const QUuid &activityId, const QString &title);
    /// Records the connection an activity works on now (a batch moves from one to the next).
    void setSubject(const QUuid &activityId, const QString &name);
    /// Forgets an ended activity's connection and its cancellation.
    void forget(const QUuid &activityId);
    [[nodiscard]] bool isCancelled(const QUuid &activityId) const { return m_cancelled.contains(activityId); }

    /// Adds command output or a flow's own lines to the log of that activity.
    void appendActivityLog(const QString &text, const QUuid &activityId);
    /// Ends an activity with its outcome; its unfinished line is dropped.
    void finishActivity(const QUuid &activityId, ActivitySheet::Outcome outcome);

    /// The overlay's Cancel, for the sheet it shows.
    Q_INVOKABLE void cancelActivity(const QUuid &sheetId);
    /// The overlay's Retry, for the shown sheet's subject: the running attempt is cancelled and a
    /// new one starts once it has ended.
    Q_INVOKABLE void retryActivity(const QString &subject);
    /// The overlay's Close; a running sheet is cancelled first.
    Q_INVOKABLE void closeActivity();
    /// Starts the queued retry, if any; the last step of the flows that support retry.
    void resumePendingRetry();
    /// Takes the shown sheet down, without cancelling its activity or anything waiting to show,
    /// when it is of `kind`: what it showed belonged to an account that is no longer signed in.
    void dismissSheet(ActivitySheet::Kind kind);

signals:
    void sheetChanged();
    void pendingRetryChanged();

private:
    struct Carry
    {
        QString raw;
        bool discardingUntilDelimiter = false;
    };

    [[nodiscard]] ActivitySheet sheetValue() const { return m_sheet.value_or(ActivitySheet()); }
    [[nodiscard]] bool hasSheet() const { return m_sheet.has_value(); }
    [[nodiscard]] QString pendingRetryText() const { return m_pendingRetry.value_or(QString()); }
    void setSheet(std::optional<ActivitySheet> sheet);
    void setPendingRetry(std::optional<QString> subject);
    void addToLog(const QString &piece, const QUuid &activityId);

    ClaudeCLI::ClaudeDriver &m_driver;
    const Clock &m_clock;
    Hooks m_hooks;
    std::optional<ActivitySheet> m_sheet;
    QHash<QUuid, Carry> m_carries;
    QSet<QUuid> m_cancelled;
    QHash<QUuid, QString> m_subjects;
    std::optional<QString> m_pendingRetry;
};
