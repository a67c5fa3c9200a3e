// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include <QLoggingCategory>
#include <QString>

/// The category of the failures the error log records. Turning its critical level off (for
/// example QT_LOGGING_RULES="studio.velliscor.quorvane.errors.critical=false") keeps them out of
/// the system log.
Q_DECLARE_LOGGING_CATEGORY(lcErrors)

/**
 * @brief Where recorded failures go beyond the process: one line "[area] message" at error level.
 *
 * The application's owner makes one JournalLog and hands it to its error log; tests hand in one
 * that keeps the lines, so that no test writes to the machine's log.
 */
class SystemLog
{
public:
    virtual ~SystemLog() = default;

    /// Writes one line at error level.
    virtual void error(const QString &area, const QString &message) = 0;

    /// The line written for one failure: the area in square brackets, a blank, the message.
    /// NUL characters are left out: a C string would end at the first one, and a cancellation
    /// key such as "\0claude-auth" must read as "claude-auth".
    [[nodiscard]] static QString line(const QString &area, const QString &message);
};

/**
 * @brief The system's log: syslog(3), which journald files under the identifier
 * "studio.velliscor.quorvane". Nothing is written while the errors category has its critical
 * level off.
 */
class JournalLog final : public SystemLog
{
public:
    JournalLog();

    void error(const QString &area, const QString &message) override;
};
