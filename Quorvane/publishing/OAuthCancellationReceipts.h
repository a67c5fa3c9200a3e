// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include <QByteArray>
#include <QHash>
#include <QJsonObject>
#include <QList>
#include <QString>
#include <QUuid>

/**
 * @brief A durable receipt: a Webflow connect of one account was cancelled, and nothing has yet
 * proven that the backend kept no grant for it.
 */
struct UnresolvedOAuthCancellation
{
    /// The one status a receipt may have.
    static inline const QString reconciliationRequired = QStringLiteral("reconciliation_required");

    QUuid ownerID;     ///< "ownerID": the account that started the cancelled connect
    QUuid operationID; ///< "operationID": the connect operation
    QString status = reconciliationRequired; ///< "status"

    /// {"ownerID", "operationID", "status"}, the UUIDs as upper-case text.
    [[nodiscard]] QJsonObject toJson() const;

    friend bool operator==(const UnresolvedOAuthCancellation &, const UnresolvedOAuthCancellation &) = default;
};

/// The receipts of every account, by operation id.
using OAuthCancellationReceiptMap = QHash<QUuid, UnresolvedOAuthCancellation>;

/**
 * @brief The content of oauth-cancellation-receipts.json: {"version": 1, "receipts": [...]},
 * written compactly with the receipts in ascending order of their operation id text.
 *
 * The file is evidence, so its reading is stricter than a store's: an unknown key anywhere, a
 * value of the wrong type, an unknown status or a repeated operation id refuses the whole file.
 */
struct PersistedOAuthCancellations
{
    static constexpr qint64 currentVersion = 1;

    /// How reading the content ended.
    enum class Verdict {
        Loaded,      ///< every receipt read
        Corrupt,     ///< not JSON, or not the layout: keys, types, UUID texts
        Unsupported, ///< the layout, but a version other than 1
        Unsafe,      ///< version 1, but with a status other than the one known, or one operation twice
    };

    struct Decoded
    {
        Verdict verdict = Verdict::Corrupt;
        OAuthCancellationReceiptMap receipts; ///< only for Loaded
    };

    /// The bytes of the file for these receipts.
    [[nodiscard]] static QByteArray encode(const OAuthCancellationReceiptMap &receipts);
    /// Reads the bytes of the file: first whether they are the layout (Corrupt), then the
    /// version (Unsupported), then the statuses and operation ids (Unsafe).
    [[nodiscard]] static Decoded decode(const QByteArray &bytes);
};
