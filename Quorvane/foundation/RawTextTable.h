// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include <QString>
#include <QStringView>

#include <array>
#include <optional>
#include <utility>

/**
 * @brief The fixed texts of an enumeration's cases, read in both directions.
 *
 * Texts that are stored or compared are the cases' own, exactly; a text matches only when it is
 * equal character for character.
 */
template <typename Enum, std::size_t Count>
struct RawTextTable
{
    std::array<std::pair<Enum, QStringView>, Count> entries;

    [[nodiscard]] QString text(Enum value) const
    {
        for (const auto &[candidate, text] : entries) {
            if (candidate == value)
                return text.toString();
        }
        Q_UNREACHABLE();
    }

    [[nodiscard]] std::optional<Enum> value(QStringView text) const
    {
        for (const auto &[candidate, candidateText] : entries) {
            if (candidateText == text)
                return candidate;
        }
        return std::nullopt;
    }
};
