// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include <QDateTime>
#include <QString>

#include <functional>

/// Records one failure under an area at a time: what a store or flow is handed instead of the
/// whole error log (ErrorLog::recorder() makes one), so that it never reaches a log of its own.
using FailureRecorder =
    std::function<void(const QString &area, const QString &message, const QDateTime &at)>;
