// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include "model/PublishDomain.h"

#include <QDateTime>
#include <QLocale>
#include <QTimeZone>
#include <QJsonObject>
#include <QList>
#include <QString>
#include <QUuid>

#include <optional>

/**
 * @brief One one-time publish of a site, as the queue shows it and the cache file keeps it.
 *
 * Its JSON form is the cache file's: camelCase keys, dates in UTC with whole seconds, absent
 * optionals left out.
 */
struct ScheduledPublish
{
    QUuid id;                                        ///< also the key of its cloud row
    QString connectionName;                          ///< the project's MCP connection
    QString siteId;                                  ///< Webflow site to publish
    QString siteName;                                ///< display name of that site
    QDateTime publishAt;                             ///< when the publish is due
    QString timeZoneID;                              ///< IANA zone the user scheduled in
    QList<PublishDomain> domains;                    ///< the publish targets
    bool skipIfChanged = false;                      ///< skip when the site was edited after scheduling
    std::optional<QDateTime> baselineLastUpdated;    ///< the site's last update when scheduled
    QDateTime createdAt;                             ///< when the schedule was made
    std::optional<QString> cloudStatus;              ///< status of the cloud row it came from

    [[nodiscard]] QJsonObject toJson() const;
    /// Fails (with a description naming the key) on a missing required key or a wrong type.
    [[nodiscard]] static std::optional<ScheduledPublish> fromJson(const QJsonValue &value,
                                                                  QString *error = nullptr,
                                                                  const QString &path = {});

    friend bool operator==(const ScheduledPublish &, const ScheduledPublish &) = default;
};

/// Earliest first; stable, so schedules due at the same instant keep their relative order.
void sortSchedulesByPublishAt(QList<ScheduledPublish> &schedules);

/// The publish time as "EEE, MMM d, yyyy · h:mm a zzz" in the user's locale, shown in the named
/// zone, or in the system's zone when no zone has that identifier.
[[nodiscard]] QString publishTimeText(const QDateTime &date, const QString &timeZoneID);
/// The same in @p locale, falling back to @p fallbackZone for an unknown identifier.
[[nodiscard]] QString publishTimeText(const QDateTime &date, const QString &timeZoneID, const QLocale &locale,
                                      const QTimeZone &fallbackZone);
