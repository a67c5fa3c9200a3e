// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include "backend/BackendResult.h"

#include <QByteArray>
#include <QString>

#include <QCoro/QCoroTask>

#include <optional>

/**
 * @brief Where the backend client keeps the signed-in session between runs: a small store of
 * byte values by key, supplied by the application (the session vault in the user's keyring).
 *
 * A failure is a BackendError of kind Storage whose message is the sentence to show the user.
 */
class SessionStorage
{
public:
    virtual ~SessionStorage() = default;

    /// The bytes stored under the key; none when nothing is stored (not a failure).
    virtual QCoro::Task<BackendResult<std::optional<QByteArray>>> read(QString key) = 0;
    /// Stores the bytes under the key, replacing what was there.
    virtual QCoro::Task<BackendResult<>> write(QString key, QByteArray data) = 0;
    /// Removes the key; removing a key that is not there succeeds.
    virtual QCoro::Task<BackendResult<>> remove(QString key) = 0;
};
