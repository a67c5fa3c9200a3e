// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include <QObject>

#include <QCoro/QCoroSignal>
#include <QCoro/QCoroTask>

#include <memory>

/**
 * @brief The end of one running schedule operation, which any number of others may wait for: the
 * next cloud write (so writes reach the backend one at a time, in start order) and every view
 * that follows the operation.
 *
 * A QCoro task can be awaited once; this can be awaited by everyone, before or after it ends.
 * Shared by whoever waits, so it lives as long as the longest wait.
 */
class OperationTask : public QObject
{
    Q_OBJECT

public:
    [[nodiscard]] bool isFinished() const { return m_finished; }

    /// Ends the operation and wakes every waiter; later calls do nothing.
    void finish()
    {
        if (m_finished)
            return;
        m_finished = true;
        emit finished();
    }

    /// Returns once @p task has finished; at once for a finished task or none.
    static QCoro::Task<> waitFor(std::shared_ptr<OperationTask> task)
    {
        if (task && !task->isFinished())
            co_await qCoro(task.get(), &OperationTask::finished);
    }

signals:
    void finished();

private:
    bool m_finished = false;
};
