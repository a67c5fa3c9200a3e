// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include "scheduling/PublishAttention.h"
#include "scheduling/ScheduledPublish.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QSet>
#include <QString>
#include <QUuid>

#include <optional>

/**
 * @brief The content of scheduled-publishes.json: the last confirmed queue with its owner, the
 * owner's outcome inbox, the inboxes parked for other accounts, and per account the outcome
 * messages already acknowledged.
 *
 * Written as version 3. Versions 1 to 3 share one layout (older writers simply left fields out),
 * and the oldest releases wrote the queue alone as a bare array, which is still read.
 */
struct PersistedSchedules
{
    /// The version this release writes.
    static constexpr qint64 currentVersion = 3;

    std::optional<QUuid> ownerID;                              ///< whose queue and inbox these are
    QList<ScheduledPublish> schedules;                         ///< the confirmed queue, never a pending change
    QList<PublishAttention> inbox;                             ///< the owner's outcome messages
    QHash<QString, QList<PublishAttention>> inboxesByOwner;    ///< by owner UUID text
    QHash<QString, QSet<QUuid>> acknowledgedAttentionIDsByOwner; ///< by owner UUID text or "__local__"

    struct Decoded;

    /// Reads the file's bytes. An object naming another version is told apart before its fields
    /// are judged, so a file from a newer release asks for an update rather than a repair.
    [[nodiscard]] static Decoded decode(const QByteArray &bytes);

    /// The file's text at the current version: keys sorted, dates in UTC with whole seconds, an
    /// absent owner left out, each acknowledged set as an array.
    [[nodiscard]] QByteArray encode() const;

    friend bool operator==(const PersistedSchedules &, const PersistedSchedules &) = default;
};

/// What reading the file's bytes gave.
struct PersistedSchedules::Decoded
{
    enum class Outcome {
        Current,            ///< `content` holds the object form of a version this release reads
        BareArray,          ///< the oldest form: `content.schedules` alone, without an owner
        UnsupportedVersion, ///< an object naming a version this release does not read
        Unreadable,         ///< neither form
    };
    Outcome outcome = Outcome::Unreadable;
    PersistedSchedules content;
};
