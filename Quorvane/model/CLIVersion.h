// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include <QHashFunctions>
#include <QString>
#include <QStringView>

#include <compare>
#include <optional>

/**
 * @brief A three-part version of the claude command-line tool, ordered by its numbers.
 */
struct CLIVersion
{
    qint64 major = 0;
    qint64 minor = 0;
    qint64 patch = 0;

    /// The first "N.N.N" anywhere in the text (for example in "claude 2.1.186 (Claude Code)"); nothing
    /// when there is none or one of its numbers does not fit 64 bits.
    [[nodiscard]] static std::optional<CLIVersion> parse(QStringView text);

    /// "major.minor.patch" in decimal.
    [[nodiscard]] QString description() const;

    friend auto operator<=>(const CLIVersion &, const CLIVersion &) = default;
    friend bool operator==(const CLIVersion &, const CLIVersion &) = default;
};

[[nodiscard]] inline size_t qHash(const CLIVersion &version, size_t seed = 0) noexcept
{
    return qHashMulti(seed, version.major, version.minor, version.patch);
}
