// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include "foundation/StoreFile.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>

#include <optional>

// Helpers for the tests of the local stores.

/// The whole content of a file; empty when it cannot be read.
[[nodiscard]] QByteArray fileBytes(const QString &path);

/// Writes a file whole, creating its folder first.
void putFile(const QString &path, const QByteArray &bytes);

/// The messages the error log holds under `area`, leaving out its first `from` events.
[[nodiscard]] QStringList loggedSince(const QString &area, qsizetype from);

/// How many events the error log holds now.
[[nodiscard]] qsizetype loggedCount();

/// A different day at noon for every call: the error log drops a repeat of the same failure within
/// a minute, so each case that checks the log starts at a time of its own.
[[nodiscard]] QDateTime distinctStart();

/**
 * @brief An AtomicWriter for tests: counts its calls, writes for real, and fails with `failure`
 * while that is set. The store must not outlive it.
 */
class TestWriter
{
public:
    [[nodiscard]] AtomicWriter writer();

    int writes = 0;
    std::optional<QString> failure;
};
