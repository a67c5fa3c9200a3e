// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include "backend/SessionStorage.h"

#include <QHash>

/**
 * @brief A session store in memory, for tests of code above the backend client. Set failure to
 * make every operation fail as a locked keyring does.
 */
class MemorySessionStorage final : public SessionStorage
{
public:
    QHash<QString, QByteArray> items;
    std::optional<BackendError> failure;

    QCoro::Task<BackendResult<std::optional<QByteArray>>> read(QString key) override
    {
        if (failure)
            co_return BackendError(*failure); // a copy: g++ 12 moves from co_return operands
        const auto it = items.constFind(key);
        co_return it == items.constEnd() ? std::optional<QByteArray>() : std::optional<QByteArray>(*it);
    }

    QCoro::Task<BackendResult<>> write(QString key, QByteArray data) override
    {
        if (failure)
            co_return BackendError(*failure); // a copy: g++ 12 moves from co_return operands
        items.insert(key, data);
        co_return {};
    }

    QCoro::Task<BackendResult<>> remove(QString key) override
    {
        if (failure)
            co_return BackendError(*failure); // a copy: g++ 12 moves from co_return operands
        items.remove(key);
        co_return {};
    }
};
