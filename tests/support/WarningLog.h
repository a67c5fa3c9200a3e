// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include <QStringList>
#include <QtGlobal>

/**
 * @brief Collects every warning, critical and fatal message while it listens, so a test can
 * show that a view loaded and drew without a QML complaint (which Qt only ever logs).
 *
 * A test starts it in init() and stops it in cleanup(); only one listens at a time, as Qt has
 * one message handler per process.
 */
class WarningLog
{
public:
    WarningLog() = default;
    ~WarningLog();
    WarningLog(const WarningLog &) = delete;
    WarningLog &operator=(const WarningLog &) = delete;

    /// Forgets what was collected and listens until stop().
    void start();
    /// Hands the messages back to the handler that had them before start().
    void stop();

    [[nodiscard]] bool isEmpty() const { return m_messages.isEmpty(); }
    [[nodiscard]] const QStringList &messages() const { return m_messages; }
    /// The messages one a line, for a failing check to print.
    [[nodiscard]] QString text() const { return m_messages.join(u'\n'); }
    void clear() { m_messages.clear(); }

private:
    static void collect(QtMsgType type, const QMessageLogContext &context, const QString &message);

    QStringList m_messages;
    QtMessageHandler m_previous = nullptr;
    bool m_listening = false;
};
