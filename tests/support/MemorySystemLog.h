// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include "platform/SystemLog.h"

#include <QStringList>

/**
 * @brief A system log that keeps its lines in memory, so that no test writes to the machine's log.
 */
class MemorySystemLog final : public SystemLog
{
public:
    void error(const QString &area, const QString &message) override { lines.append(line(area, message)); }

    QStringList lines;
};
