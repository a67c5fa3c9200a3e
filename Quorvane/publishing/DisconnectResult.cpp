// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "publishing/DisconnectResult.h"

#include "foundation/JsonReader.h"
#include "foundation/UuidText.h"

#include <QJsonDocument>
#include <QStringDecoder>

using namespace Qt::StringLiterals;

QJsonObject DisconnectRequest::toJson() const
{
    return {{u"siteId"_s, siteID}, {u"expectedUserId"_s, UuidText::format(expectedUserID)}};
}

std::optional<DisconnectResult> DisconnectResult::fromJson(const QJsonValue &value, QString *error)
{
    JsonReader reader(value);
    DisconnectResult result{reader.boolean("disconnected"_L1), reader.optionalBoolean("alreadyDisconnected"_L1)};
    if (!reader.finish(error))
        return std::nullopt;
    return result;
}

std::optional<DisconnectFailure> DisconnectFailure::fromBody(const QByteArray &body)
{
    if (body.isEmpty() || !utf8Text(body))
        return std::nullopt;
    QJsonParseError parse;
    const QJsonDocument document = QJsonDocument::fromJson(body, &parse);
    if (parse.error != QJsonParseError::NoError || !document.isObject())
        return std::nullopt;
    JsonReader reader(document.object());
    DisconnectFailure failure{reader.optionalText("code"_L1), reader.optionalText("error"_L1),
                              reader.optionalBoolean("pending_revocation"_L1)};
    if (!reader.ok())
        return std::nullopt;
    return failure;
}

bool DisconnectFailure::isPendingRevocation() const
{
    return code == u"revocation_pending"_s || pendingRevocation == true;
}

std::optional<QString> utf8Text(const QByteArray &bytes)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = decoder.decode(bytes);
    if (decoder.hasError())
        return std::nullopt;
    return text;
}
