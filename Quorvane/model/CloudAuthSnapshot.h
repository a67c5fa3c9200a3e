// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include <QUuid>
#include <QtGlobal>

/**
 * @brief The signed-in identity under which a cloud operation started.
 *
 * It is current only while its store is still bound to the same user and the store's identity
 * counter has not moved; every backend result is checked against it before it is applied.
 */
struct CloudAuthSnapshot
{
    QUuid userID;        ///< the signed-in backend user
    qint64 generation{}; ///< the store's identity counter when the snapshot was taken

    friend bool operator==(const CloudAuthSnapshot &, const CloudAuthSnapshot &) = default;
};
