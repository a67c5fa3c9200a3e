// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include <QString>
#include <QUrl>
#include <QVariantMap>

#include <optional>

/**
 * @brief Which hosted backend this build talks to, from the build's information keys.
 *
 * Without a valid configuration the application runs without cloud features. The keys:
 * "QuorvaneBackendLane" must be exactly "stable"; "QuorvaneBackendURL" an https URL with a host;
 * "QuorvaneBackendPublishableKey" a publishable key ("sb_publishable_" and more). Separately,
 * "QuorvaneBackendMode" "prod-test" marks a build that tests against production data. The owner
 * reads the running build's keys once and hands the result to what needs it.
 */
struct BackendConfiguration
{
    /// The backend's base URL as parsed (https, written in any case of letters, with a host).
    QUrl url;
    /// The public client key, exactly as written in the keys.
    QString publishableKey;

    /// The prefix of the backend vendor's publishable keys.
    static inline const QString publishableKeyPrefix = QStringLiteral("sb_publishable_");

    /// The configuration the keys describe; none when a key is missing, not text, or breaks a rule.
    [[nodiscard]] static std::optional<BackendConfiguration> fromInfo(const QVariantMap &info);
    /// Whether the keys mark a build that works against production data for testing.
    [[nodiscard]] static bool isProdTestMode(const QVariantMap &info);

    friend bool operator==(const BackendConfiguration &, const BackendConfiguration &) = default;
};
