// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include "account/AccountProfile.h"

#include <QByteArray>
#include <QUuid>

#include <optional>

/**
 * @brief The whole of account.json: the cached profile and the backend user it belongs to.
 *
 * Written as {"version": 1, "ownerID": "<UUID>", "profile": {…}}, pretty-printed with sorted
 * keys; "ownerID" is left out when no owner is known. Older releases wrote the bare profile
 * object, which is still read (as version 1 without an owner).
 */
struct PersistedAccount
{
    /// The only version this release reads and the one it writes.
    static constexpr int currentVersion = 1;

    int version = currentVersion;
    std::optional<QUuid> ownerID; ///< the backend user id the profile belongs to
    AccountProfile profile;

    /// The document's bytes; the owner as upper-case hyphenated text.
    [[nodiscard]] QByteArray encode() const;

    /// The current layout of any version (the caller refuses a version it does not know), else
    /// the older bare-profile layout; none when the bytes are neither. A null "ownerID" is no
    /// owner; any other owner that is not a UUID text makes the current layout unreadable.
    [[nodiscard]] static std::optional<PersistedAccount> decode(const QByteArray &bytes);

    friend bool operator==(const PersistedAccount &, const PersistedAccount &) = default;
};
