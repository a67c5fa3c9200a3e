// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "scheduling/PersistedSchedules.h"

#include "foundation/StoreFile.h"
#include "foundation/UuidText.h"
#include "scheduling/ScheduleCoding.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

using Decoded = PersistedSchedules::Decoded;

// A member that may be missing or null; anything else present must be of the right type.
bool present(const QJsonObject &object, QLatin1StringView key)
{
    const QJsonValue value = object.value(key);
    return !value.isUndefined() && !value.isNull();
}

std::optional<QList<PublishAttention>> attentionList(const QJsonValue &value)
{
    QString ignored;
    return ScheduleCoding::decodeList(value, &PublishAttention::fromJson, &ignored);
}

std::optional<QHash<QString, QList<PublishAttention>>> inboxes(const QJsonValue &value)
{
    if (!value.isObject())
        return std::nullopt;
    QHash<QString, QList<PublishAttention>> byOwner;
    const QJsonObject object = value.toObject();
    for (auto it = object.constBegin(); it != object.constEnd(); ++it) {
        std::optional<QList<PublishAttention>> inbox = attentionList(it.value());
        if (!inbox)
            return std::nullopt;
        byOwner.insert(it.key(), std::move(*inbox));
    }
    return byOwner;
}

std::optional<QHash<QString, QSet<QUuid>>> acknowledgements(const QJsonValue &value)
{
    if (!value.isObject())
        return std::nullopt;
    QHash<QString, QSet<QUuid>> byOwner;
    const QJsonObject object = value.toObject();
    for (auto it = object.constBegin(); it != object.constEnd(); ++it) {
        if (!it.value().isArray())
            return std::nullopt;
        QSet<QUuid> ids;
        for (const QJsonValue id : it.value().toArray()) {
            const std::optional<QUuid> parsed = id.isString() ? UuidText::parse(id.toString()) : std::nullopt;
            if (!parsed)
                return std::nullopt;
            ids.insert(*parsed);
        }
        byOwner.insert(it.key(), ids);
    }
    return byOwner;
}

std::optional<PersistedSchedules> objectForm(const QJsonObject &object)
{
    JsonReader reader(object);
    PersistedSchedules content;
    content.ownerID = reader.optionalUuid("ownerID"_L1);
    content.schedules = reader.list("schedules"_L1, &ScheduledPublish::fromJson);
    if (!reader.ok())
        return std::nullopt;
    if (present(object, "inbox"_L1)) {
        std::optional<QList<PublishAttention>> inbox = attentionList(object.value("inbox"_L1));
        if (!inbox)
            return std::nullopt;
        content.inbox = std::move(*inbox);
    }
    if (present(object, "inboxesByOwner"_L1)) {
        auto parked = inboxes(object.value("inboxesByOwner"_L1));
        if (!parked)
            return std::nullopt;
        content.inboxesByOwner = std::move(*parked);
    }
    if (present(object, "acknowledgedAttentionIDsByOwner"_L1)) {
        auto acknowledged = acknowledgements(object.value("acknowledgedAttentionIDsByOwner"_L1));
        if (!acknowledged)
            return std::nullopt;
        content.acknowledgedAttentionIDsByOwner = std::move(*acknowledged);
    }
    return content;
}

QJsonArray attentionArray(const QList<PublishAttention> &items)
{
    QJsonArray array;
    for (const PublishAttention &item : items)
        array.append(item.toJson());
    return array;
}

} // namespace

PersistedSchedules::Decoded PersistedSchedules::decode(const QByteArray &bytes)
{
    const QJsonDocument document = QJsonDocument::fromJson(bytes);
    if (document.isObject()) {
        const QJsonObject object = document.object();
        JsonReader versionReader(object);
        const qint64 version = versionReader.integer("version"_L1);
        if (!versionReader.ok())
            return {};
        if (version < 1 || version > currentVersion)
            return {Decoded::Outcome::UnsupportedVersion, {}};
        if (std::optional<PersistedSchedules> content = objectForm(object))
            return {Decoded::Outcome::Current, std::move(*content)};
        return {};
    }
    if (document.isArray()) {
        QString ignored;
        if (auto schedules = ScheduleCoding::decodeList(document.array(), &ScheduledPublish::fromJson, &ignored)) {
            PersistedSchedules content;
            content.schedules = std::move(*schedules);
            return {Decoded::Outcome::BareArray, std::move(content)};
        }
    }
    return {};
}

QByteArray PersistedSchedules::encode() const
{
    QJsonArray queue;
    for (const ScheduledPublish &schedule : schedules)
        queue.append(schedule.toJson());
    QJsonObject parked;
    for (auto it = inboxesByOwner.constBegin(); it != inboxesByOwner.constEnd(); ++it)
        parked.insert(it.key(), attentionArray(it.value()));
    QJsonObject acknowledged;
    for (auto it = acknowledgedAttentionIDsByOwner.constBegin(); it != acknowledgedAttentionIDsByOwner.constEnd(); ++it) {
        // Sorted, so that saving the same state twice writes the same bytes.
        QStringList ids;
        for (const QUuid &id : it.value())
            ids.append(UuidText::format(id));
        std::sort(ids.begin(), ids.end());
        acknowledged.insert(it.key(), QJsonArray::fromStringList(ids));
    }

    QJsonObject document{
        {u"version"_s, currentVersion},
        {u"schedules"_s, queue},
        {u"inbox"_s, attentionArray(inbox)},
        {u"inboxesByOwner"_s, parked},
        {u"acknowledgedAttentionIDsByOwner"_s, acknowledged},
    };
    if (ownerID)
        document.insert(u"ownerID"_s, UuidText::format(*ownerID));
    return StoreFile::encode(document);
}
