// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include <QNetworkRequest>
#include <QString>
#include <QUrl>
#include <QVariantMap>

#include <chrono>
#include <optional>

class QNetworkAccessManager;
class QObject;

// Where error reports go and how they travel. The gateway address comes from the build's
// information keys and is used only when it passes every check; without it reporting is off.

/// The gateway address this build was made with (QUORVANE_ERROR_GATEWAY_URL); empty when none.
[[nodiscard]] QString builtInErrorGatewayAddress();

/// The validated gateway address from "QuorvaneErrorGatewayURL": an https address on a public
/// host name, path "/error-report" and nothing else, written as the URL parser writes it. The
/// information's "QuorvaneBackendLane" must equal `lane`; the "stable" lane accepts only
/// `builtInAddress`, the "beta" lane any other host. Nothing otherwise.
[[nodiscard]] std::optional<QUrl> errorGatewayURL(const QVariantMap &info, const QString &lane,
                                                  const QString &builtInAddress);

/// The build number under "CFBundleVersion" when it is text; "0" otherwise.
[[nodiscard]] QString appBuildNumber(const QVariantMap &info);

/// The build number of the running build.
[[nodiscard]] QString appBuildNumber();

/// The network session of error reports: it keeps no cookies and follows no redirection.
[[nodiscard]] QNetworkAccessManager *makeErrorReportSession(QObject *parent);

/// A report's POST to the gateway: JSON, a time limit (15 seconds unless said), no redirection, no
/// cache, no cookies and no stored credentials. A report past its limit ends as one abandoned does
/// (see isCancellation()): it failed.
[[nodiscard]] QNetworkRequest errorReportRequest(const QUrl &gateway,
                                                 std::chrono::milliseconds limit = std::chrono::seconds(15));
