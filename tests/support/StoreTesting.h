// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include "foundation/StoreFile.h"
#include "model/ErrorLog.h"
#include "model/LocalStore.h"
#include "support/ManualClock.h"
#include "support/MemorySystemLog.h"
#include "support/TempHome.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

// Helpers for the tests of the local stores.

/// The whole content of a file; empty when it cannot be read.
[[nodiscard]] QByteArray fileBytes(const QString &path);

/// Writes a file whole, creating its folder first.
void putFile(const QString &path, const QByteArray &bytes);

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

/**
 * @brief What a store under test is handed and where it lives: a temporary home for its folder,
 * a clock the test moves, an error log of the test's own over a system log that keeps its lines,
 * and a writer that counts and can fail. Stores made from it must not outlive it.
 */
struct StoreFixture
{
    TempHome home;
    ManualClock clock;
    MemorySystemLog systemLog;
    ErrorLog log{systemLog};
    TestWriter writer;

    /// The application's data folder in the temporary home; not created here.
    [[nodiscard]] QString folder() const { return home.appDataDir(); }
    /// The clock, the log's recorder and the counting writer.
    [[nodiscard]] LocalStore::Environment environment();
    /// The messages the log holds under `area`, oldest first.
    [[nodiscard]] QStringList logged(const QString &area) const;
};
