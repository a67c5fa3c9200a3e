// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include <QString>

#include <optional>

/**
 * @brief Whether the application starts when the user logs in: an XDG autostart entry,
 * $XDG_CONFIG_HOME/autostart/<app id>.desktop.
 *
 * The desktop's settings may switch the entry off by adding "Hidden=true" or delete it; the
 * status is always read from the file, so the application follows what the user did there.
 */
class LoginItem
{
public:
    /// The application's own desktop id.
    static inline const QString applicationId = QStringLiteral("studio.velliscor.Quorvane");

    /// An item for `appId` starting `executable`; `folder` empty: the user's autostart folder.
    LoginItem(QString appId, QString executable, QString folder = {});

    /// The application's item, starting the running executable.
    [[nodiscard]] static LoginItem application();

    [[nodiscard]] QString path() const;
    /// Whether an entry exists that the desktop will start.
    [[nodiscard]] bool isEnabled() const;
    /// Writes or removes the entry; on failure the user's sentence of what went wrong.
    [[nodiscard]] std::optional<QString> setEnabled(bool enabled) const;

private:
    QString m_appId;
    QString m_executable;
    QString m_folder;
};
