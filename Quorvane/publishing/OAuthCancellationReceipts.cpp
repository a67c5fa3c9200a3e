// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "publishing/OAuthCancellationReceipts.h"

#include "foundation/JsonReader.h"
#include "foundation/UuidText.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QSet>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

bool hasExactly(const QJsonObject &object, const QSet<QString> &keys)
{
    const QStringList present = object.keys();
    return QSet<QString>(present.cbegin(), present.cend()) == keys;
}

std::optional<UnresolvedOAuthCancellation> receiptFromJson(const QJsonValue &value, QString *error,
                                                          const QString &path)
{
    JsonReader reader(value, path);
    UnresolvedOAuthCancellation receipt{reader.uuid("ownerID"_L1), reader.uuid("operationID"_L1),
                                        reader.text("status"_L1)};
    if (!reader.finish(error))
        return std::nullopt;
    return receipt;
}

} // namespace

QJsonObject UnresolvedOAuthCancellation::toJson() const
{
    return {{u"ownerID"_s, UuidText::format(ownerID)},
            {u"operationID"_s, UuidText::format(operationID)},
            {u"status"_s, status}};
}

QByteArray PersistedOAuthCancellations::encode(const OAuthCancellationReceiptMap &receipts)
{
    QList<UnresolvedOAuthCancellation> sorted = receipts.values();
    // Upper-case UUID texts sort as the UUIDs' bytes do.
    std::sort(sorted.begin(), sorted.end(), [](const auto &left, const auto &right) {
        return UuidText::format(left.operationID) < UuidText::format(right.operationID);
    });
    QJsonArray array;
    for (const UnresolvedOAuthCancellation &receipt : sorted)
        array.append(receipt.toJson());
    const QJsonObject document{{u"version"_s, currentVersion}, {u"receipts"_s, array}};
    return QJsonDocument(document).toJson(QJsonDocument::Compact);
}

PersistedOAuthCancellations::Decoded PersistedOAuthCancellations::decode(const QByteArray &bytes)
{
    const Decoded corrupt{Verdict::Corrupt, {}};
    QJsonParseError parse;
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &parse);
    if (parse.error != QJsonParseError::NoError || !document.isObject())
        return corrupt;
    const QJsonObject top = document.object();
    if (!hasExactly(top, {u"version"_s, u"receipts"_s}))
        return corrupt;
    const QJsonValue receiptsValue = top.value("receipts"_L1);
    if (!receiptsValue.isArray())
        return corrupt;
    const QJsonArray elements = receiptsValue.toArray();
    for (const QJsonValue element : elements) {
        if (!element.isObject() || !hasExactly(element.toObject(), {u"ownerID"_s, u"operationID"_s, u"status"_s}))
            return corrupt;
    }

    JsonReader reader(top);
    const qint64 version = reader.integer("version"_L1);
    const QList<UnresolvedOAuthCancellation> receipts = reader.list("receipts"_L1, receiptFromJson);
    if (!reader.ok())
        return corrupt;
    if (version != currentVersion)
        return {Verdict::Unsupported, {}};

    OAuthCancellationReceiptMap byOperation;
    for (const UnresolvedOAuthCancellation &receipt : receipts) {
        if (receipt.status != UnresolvedOAuthCancellation::reconciliationRequired)
            return {Verdict::Unsafe, {}};
    }
    for (const UnresolvedOAuthCancellation &receipt : receipts) {
        if (byOperation.contains(receipt.operationID))
            return {Verdict::Unsafe, {}};
        byOperation.insert(receipt.operationID, receipt);
    }
    return {Verdict::Loaded, byOperation};
}
