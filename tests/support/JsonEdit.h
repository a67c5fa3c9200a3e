// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include <QJsonObject>
#include <QJsonValue>
#include <QString>

/// The object with `key` set to `value`, or without `key` when `value` is undefined: one row of a
/// reply with one member changed or taken away.
[[nodiscard]] inline QJsonObject with(QJsonObject object, const QString &key, const QJsonValue &value)
{
    if (value.isUndefined())
        object.remove(key);
    else
        object.insert(key, value);
    return object;
}
