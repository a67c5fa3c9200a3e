// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "app/ActivityCenter.h"

#include "cli/ClaudeDriver.h"
#include "cli/ScopeCheck.h"
#include "foundation/Clock.h"
#include "foundation/Redaction.h"

#include <QPointer>
#include <QTextBoundaryFinder>
#include <QTimer>

namespace {

const QString unterminatedMarker = QStringLiteral("‹unterminated output redacted›\n");
const QString trimMarker = QStringLiteral("…earlier output trimmed…\n");

qsizetype utf8Size(QStringView text)
{
    qsizetype bytes = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i].unicode();
        if (unit < 0x80)
            bytes += 1;
        else if (unit < 0x800)
            bytes += 2;
        else if (QChar::isHighSurrogate(unit) && i + 1 < text.size() && QChar::isLowSurrogate(text[i + 1].unicode())) {
            bytes += 4;
            ++i;
        } else
            bytes += 3;
    }
    return bytes;
}

qsizetype firstLineEnd(QStringView text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'\n' || text[i] == u'\r')
            return i;
    }
    return -1;
}

// The log's newest `limit` user-perceived characters, from the first whole line among them.
QString trimmed(const QString &log, qsizetype limit)
{
    // A grapheme cluster spans at least one code unit, so a log this short cannot be over.
    if (log.size() <= limit)
        return log;
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, log);
    finder.toEnd();
    qsizetype counted = 0;
    qsizetype start = log.size();
    while (counted < limit) {
        const qsizetype previous = finder.toPreviousBoundary();
        if (previous < 0)
            return log;
        start = previous;
        ++counted;
    }
    if (start == 0)
        return log;
    const QStringView kept = QStringView(log).mid(start);
    const qsizetype lineFeed = kept.indexOf(u'\n');
    return trimMarker + (lineFeed < 0 ? kept : kept.mid(lineFeed + 1)).toString();
}

} // namespace

ActivityCenter::ActivityCenter(ClaudeCLI::ClaudeDriver &driver, const Clock &clock, QObject *parent)
    : QObject(parent)
    , m_driver(driver)
    , m_clock(clock)
{
}

void ActivityCenter::setHooks(Hooks hooks)
{
    m_hooks = std::move(hooks);
}

QUuid ActivityCenter::open(ActivitySheet::Kind kind, const QString &title, const std::optional<QString> &subject,
                           const QString &note, ActivitySheet::Outcome outcome)
{
    ActivitySheet sheet;
    sheet.id = QUuid::createUuid();
    sheet.kind = kind;
    sheet.title = title;
    sheet.subject = subject;
    sheet.startedAt = m_clock.now();
    sheet.note = note;
    sheet.outcome = outcome;
    const QUuid id = sheet.id;
    setSheet(std::move(sheet));
    return id;
}

QUuid ActivityCenter::openError(const QString &title, const QString &note, const QString &log)
{
    ActivitySheet sheet;
    sheet.id = QUuid::createUuid();
    sheet.kind = ActivitySheet::Kind::error;
    sheet.title = title;
    sheet.startedAt = m_clock.now();
    sheet.note = note;
    sheet.log = log;
    sheet.outcome = ActivitySheet::Outcome::failure;
    const QUuid id = sheet.id;
    setSheet(std::move(sheet));
    return id;
}

void ActivityCenter::dropRetryOfOtherSubject(const QString &subject)
{
    if (m_pendingRetry && *m_pendingRetry != subject)
        setPendingRetry(std::nullopt);
}

void ActivityCenter::setTitle(const QUuid &activityId, const QString &title)
{
    if (!m_sheet || m_sheet->id != activityId || m_sheet->title == title)
        return;
    m_sheet->title = title;
    Q_EMIT sheetChanged();
}

void ActivityCenter::setSubject(const QUuid &activityId, const QString &name)
{
    m_subjects.insert(activityId, name);
}

void ActivityCenter::forget(const QUuid &activityId)
{
    m_subjects.remove(activityId);
    m_cancelled.remove(activityId);
}

void ActivityCenter::appendActivityLog(const QString &text, const QUuid &activityId)
{
    if (!m_sheet || m_sheet->id != activityId || m_sheet->outcome != ActivitySheet::Outcome::running
        || m_cancelled.contains(activityId))
        return;

    Carry carry = m_carries.value(activityId);
    QStringView rest(text);
    while (!rest.isEmpty()) {
        const qsizetype end = firstLineEnd(rest);
        if (carry.discardingUntilDelimiter) {
            if (end < 0)
                break;
            rest = rest.mid(end + 1);
            carry.discardingUntilDelimiter = false;
            continue;
        }
        if (end < 0) {
            if (utf8Size(carry.raw) + utf8Size(rest) <= maxLineBytes) {
                carry.raw += rest;
            } else {
                carry.raw.clear();
                addToLog(unterminatedMarker, activityId);
                carry.discardingUntilDelimiter = true;
            }
            break;
        }
        const QStringView line = rest.first(end + 1);
        // The line is joined from its chunks before redaction, so a secret split between two
        // chunks of output is still recognised.
        if (utf8Size(carry.raw) + utf8Size(line) <= maxLineBytes)
            addToLog(redactSecrets(carry.raw + line.toString()), activityId);
        else
            addToLog(unterminatedMarker, activityId);
        carry.raw.clear();
        rest = rest.mid(end + 1);
    }

    if (!carry.raw.isEmpty() || carry.discardingUntilDelimiter)
        m_carries.insert(activityId, carry);
    else
        m_carries.remove(activityId);
}

void ActivityCenter::addToLog(const QString &piece, const QUuid &activityId)
{
    if (!m_sheet || m_sheet->id != activityId)
        return;
    m_sheet->log = trimmed(m_sheet->log + piece, maxLogCharacters);
    Q_EMIT sheetChanged();
}

void ActivityCenter::finishActivity(const QUuid &activityId, ActivitySheet::Outcome outcome)
{
    if (!m_sheet || m_sheet->id != activityId)
        return;
    m_carries.remove(activityId);
    m_sheet->outcome = outcome;
    Q_EMIT sheetChanged();
}

void ActivityCenter::cancelActivity(const QUuid &sheetId)
{
    if (!m_sheet || m_sheet->id != sheetId || m_sheet->outcome != ActivitySheet::Outcome::running)
        return;
    m_carries.remove(sheetId);
    appendActivityLog(QStringLiteral("\n✕ Cancelling…\n"), sheetId);
    m_cancelled.insert(sheetId);
    setPendingRetry(std::nullopt);

    switch (m_sheet->kind) {
    case ActivitySheet::Kind::authorizing:
    case ActivitySheet::Kind::verifying: {
        const std::optional<QString> subject =
            m_subjects.contains(sheetId) ? std::optional<QString>(m_subjects.value(sheetId)) : m_sheet->subject;
        if (!subject)
            return;
        m_driver.logins().cancel(*subject);
        m_driver.runs().cancel(ClaudeCLI::kScopeCheckKeyPrefix + *subject);
        return;
    }
    case ActivitySheet::Kind::connectingPublishing:
        if (m_hooks.cancelPublishing)
            m_hooks.cancelPublishing(sheetId);
        finishActivity(sheetId, ActivitySheet::Outcome::failure);
        return;
    case ActivitySheet::Kind::error:
        return;
    }
}

void ActivityCenter::retryActivity(const QString &subject)
{
    setPendingRetry(subject);
    // A flow still working on its connection after finishing the sheet (an over-broad grant's
    // cleanup) resumes the retry itself when it ends; one that has ended never will.
    if (m_sheet && m_sheet->subject == subject && m_sheet->outcome != ActivitySheet::Outcome::running
        && !m_subjects.contains(m_sheet->id)) {
        // A cancellation queued for the key now would only stop the retry's own login.
        m_driver.logins().discardQueuedCancellation(subject);
        resumePendingRetry();
        return;
    }
    m_driver.logins().cancel(subject);
    if (m_sheet && m_sheet->subject == subject)
        appendActivityLog(QStringLiteral("\n↻ Retry queued: waiting for the cancelled run to wind down…\n"), m_sheet->id);
}

void ActivityCenter::closeActivity()
{
    setPendingRetry(std::nullopt);
    if (m_sheet && m_sheet->outcome == ActivitySheet::Outcome::running)
        cancelActivity(m_sheet->id);
    setSheet(std::nullopt);
    if (m_hooks.closed)
        m_hooks.closed();
}

void ActivityCenter::dismissSheet(ActivitySheet::Kind kind)
{
    if (m_sheet && m_sheet->kind == kind)
        setSheet(std::nullopt);
}

void ActivityCenter::resumePendingRetry()
{
    if (!m_pendingRetry)
        return;
    const QString subject = *m_pendingRetry;
    setPendingRetry(std::nullopt);
    // The new attempt starts after the ending flow has finished its own remaining steps.
    QTimer::singleShot(0, this, [this, subject] {
        if (m_hooks.startRetry)
            m_hooks.startRetry(subject);
    });
}

void ActivityCenter::setSheet(std::optional<ActivitySheet> sheet)
{
    m_carries.clear();
    m_sheet = std::move(sheet);
    Q_EMIT sheetChanged();
}

void ActivityCenter::setPendingRetry(std::optional<QString> subject)
{
    if (m_pendingRetry == subject)
        return;
    m_pendingRetry = std::move(subject);
    Q_EMIT pendingRetryChanged();
}
