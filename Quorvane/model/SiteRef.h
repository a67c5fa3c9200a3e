// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include <QHashFunctions>
#include <QJsonArray>
#include <QJsonObject>
#include <QJsonValue>
#include <QList>
#include <QString>
#include <QStringView>
#include <QUrl>

#include <optional>

/**
 * @brief One Webflow site that an authorization reaches.
 *
 * Read from the scope check's output and from older files, which name the fields differently;
 * always written under "name", "id" and "shortName".
 */
struct SiteRef
{
    QString name;
    /// The site's identifier in Webflow, the record's identity.
    QString id;
    /// The site's subdomain, from which the Designer link is built.
    std::optional<QString> shortName;

    /// The site from one JSON object; nothing, with the reason in `error`, when it has no id.
    [[nodiscard]] static std::optional<SiteRef> fromJson(const QJsonValue &json,
                                                         QString *error = nullptr);
    /// Every site of a JSON array, or nothing when any one of them cannot be read.
    [[nodiscard]] static std::optional<QList<SiteRef>> listFromJson(const QJsonValue &json,
                                                                    QString *error = nullptr);
    [[nodiscard]] QJsonObject toJson() const;
    [[nodiscard]] static QJsonArray toJson(const QList<SiteRef> &sites);

    /// The link that opens the site with this short name in the Webflow Designer; nothing when the
    /// short name cannot be a Webflow subdomain.
    [[nodiscard]] static std::optional<QUrl> designerURL(QStringView shortName);

    friend bool operator==(const SiteRef &, const SiteRef &) = default;
};

[[nodiscard]] inline size_t qHash(const SiteRef &site, size_t seed = 0) noexcept
{
    return qHashMulti(seed, site.name, site.id, site.shortName.has_value(),
                      site.shortName.value_or(QString()));
}
