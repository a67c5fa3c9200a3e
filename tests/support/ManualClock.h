// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include "foundation/Clock.h"

/**
 * @brief A clock that stands still until the test moves it.
 */
class ManualClock final : public Clock
{
public:
    explicit ManualClock(QDateTime start = QDateTime(QDate(2026, 1, 15), QTime(12, 0), Qt::UTC))
        : m_now(std::move(start))
    {
    }

    QDateTime now() const override { return m_now; }
    void set(QDateTime now) { m_now = std::move(now); }
    void advance(qint64 milliseconds) { m_now = m_now.addMSecs(milliseconds); }

private:
    QDateTime m_now;
};
