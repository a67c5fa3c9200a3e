// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include "platform/ResourceBundle.h"

#include <QByteArray>
#include <QHash>
#include <QString>

#include <optional>

/**
 * @brief Finds the SVG drawings of the resource bundle by name and keeps what it found, misses
 * included, so each name costs at most one search and one file read per process.
 *
 * Used only by views on the GUI thread; it has no lock.
 */
class IconLoader
{
public:
    explicit IconLoader(ResourceBundle bundle);

    /// The loader of the application's own bundle.
    [[nodiscard]] static IconLoader &shared();

    /// A micro icon: "icons/<name>.svg", else "<name>.svg" at the bundle's top level.
    [[nodiscard]] std::optional<QByteArray> microIcon(const QString &name);
    /// A large icon: "large.<name>.svg".
    [[nodiscard]] std::optional<QByteArray> largeIcon(const QString &name);
    /// The maker's wordmark: "velliscor-wordmark.svg".
    [[nodiscard]] std::optional<QByteArray> wordmark();

private:
    /// The drawing at that location, when there is one and it reads as an SVG image.
    [[nodiscard]] static std::optional<QByteArray> read(const QUrl &location);

    ResourceBundle m_bundle;
    QHash<QString, std::optional<QByteArray>> m_microIcons;
    QHash<QString, std::optional<QByteArray>> m_largeIcons;
    std::optional<std::optional<QByteArray>> m_wordmark;
};
