// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "scheduling/PublishAttention.h"

#include "foundation/InternetDateTime.h"
#include "foundation/UuidText.h"
#include "scheduling/ScheduleCoding.h"

#include <QSet>

#include <algorithm>

using namespace Qt::StringLiterals;
using namespace ScheduleCoding;

namespace {
constexpr qsizetype inboxLimit = 100;
}

QJsonObject PublishAttention::toJson() const
{
    return {{u"id"_s, UuidText::format(id)},
            {u"kind"_s, kind},
            {u"message"_s, message},
            {u"createdAt"_s, InternetDateTime::format(createdAt)}};
}

std::optional<PublishAttention> PublishAttention::fromJson(const QJsonValue &value, QString *error,
                                                           const QString &path)
{
    Reader reader(value, DateForm::Cache, path);
    PublishAttention item{reader.uuid("id"_L1), reader.text("kind"_L1), reader.text("message"_L1),
                          reader.date("createdAt"_L1)};
    if (!reader.finish(error))
        return std::nullopt;
    return item;
}

void sortAttentionNewestFirst(QList<PublishAttention> &items)
{
    std::stable_sort(items.begin(), items.end(),
                     [](const PublishAttention &a, const PublishAttention &b) {
                         return a.createdAt > b.createdAt;
                     });
}

QList<PublishAttention> mergedInbox(const QList<PublishAttention> &existing,
                                    const QList<PublishAttention> &incoming)
{
    QList<PublishAttention> merged;
    QSet<QUuid> seen;
    for (const QList<PublishAttention> *list : {&existing, &incoming}) {
        for (const PublishAttention &item : *list) {
            if (seen.contains(item.id))
                continue;
            seen.insert(item.id);
            merged.append(item);
        }
    }
    sortAttentionNewestFirst(merged);
    if (merged.size() > inboxLimit)
        merged.resize(inboxLimit);
    return merged;
}
