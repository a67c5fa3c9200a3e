// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include <QString>
#include <QUrl>

/**
 * @brief A folder of the application's own resources, looked up by name and extension.
 */
class ResourceBundle
{
public:
    explicit ResourceBundle(QString directory);

    /// The folder this bundle reads from.
    [[nodiscard]] QString directory() const { return m_directory; }

    /// The file URL of "<name>.<extension>" inside the bundle; empty when there is no such file.
    [[nodiscard]] QUrl url(const QString &name, const QString &extension) const;

private:
    QString m_directory;
};
