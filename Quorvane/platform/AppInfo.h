// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include "platform/ResourceBundle.h"

#include <QString>
#include <QUrl>
#include <QVariantMap>

// Process-wide facts about the running application, each computed once on first use.

/// The user-visible version of this build; "dev" when the build carries none.
[[nodiscard]] const QString &appVersion();

/// The version text stored under "CFBundleShortVersionString", unchanged; "dev" when it is
/// missing or not text.
[[nodiscard]] QString appVersion(const QVariantMap &info);

/// The bundle of the application's own images.
[[nodiscard]] const ResourceBundle &resourceBundle();

/// "Quorvane_Quorvane.bundle" inside the resources folder, or the resources folder itself when
/// there is no such bundle.
[[nodiscard]] ResourceBundle resourceBundle(const QString &resourcesPath);

/// The maker's home page.
[[nodiscard]] const QUrl &makerSiteURL();

/// The product's home page.
[[nodiscard]] const QUrl &productSiteURL();
