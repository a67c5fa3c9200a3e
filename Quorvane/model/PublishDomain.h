// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include <QJsonArray>
#include <QJsonObject>
#include <QList>
#include <QString>

#include <optional>

/**
 * @brief One publish target of a site. Its JSON form ("id", "url", "isStaging") is the same in the
 * cache file, in backend rows and in call parameters.
 */
struct PublishDomain
{
    QString id;             ///< the domain's identifier as the backend reports it
    QString url;            ///< the domain's address text
    bool isStaging = false; ///< true for the site's staging domain

    [[nodiscard]] QJsonObject toJson() const;
    /// The domains as one JSON array, in their order.
    [[nodiscard]] static QJsonArray toJsonArray(const QList<PublishDomain> &domains);
    /// Fails (with a description naming the key) on a missing key or a value of the wrong type.
    [[nodiscard]] static std::optional<PublishDomain> fromJson(const QJsonValue &value,
                                                               QString *error = nullptr,
                                                               const QString &path = {});

    friend bool operator==(const PublishDomain &, const PublishDomain &) = default;
};
