// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>

#include <optional>

/**
 * @brief Finds the SVG drawings of the resource bundle by name and keeps what it found, misses
 * included, so each name costs at most one search and one file read for the loader's life.
 *
 * The application's owner makes one for the process and hands it to the views (KitServices);
 * tests make their own over a folder of their choosing. Used only by views on the GUI thread;
 * it has no lock.
 */
class IconLoader
{
public:
    /// `folder`: the resource bundle's folder, where the drawings are looked up.
    explicit IconLoader(QString folder);

    /// A micro icon: "icons/<name>.svg", else "<name>.svg" at the bundle's top level.
    [[nodiscard]] std::optional<QByteArray> microIcon(const QString &name);
    /// A large icon: "large.<name>.svg".
    [[nodiscard]] std::optional<QByteArray> largeIcon(const QString &name);
    /// The maker's wordmark: "velliscor-wordmark.svg".
    [[nodiscard]] std::optional<QByteArray> wordmark();

private:
    /// The path of "<name>.svg" in the folder.
    [[nodiscard]] QString path(const QString &name) const;
    /// The drawing "<name>.svg" of the folder, when there is one and it reads as an SVG image.
    [[nodiscard]] std::optional<QByteArray> read(const QString &name) const;

    QString m_folder;
    QHash<QString, std::optional<QByteArray>> m_microIcons;
    QHash<QString, std::optional<QByteArray>> m_largeIcons;
    std::optional<std::optional<QByteArray>> m_wordmark;
};
