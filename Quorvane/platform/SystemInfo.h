// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include <QByteArray>
#include <QString>

/// @brief How the machine describes itself, for support texts.
namespace SystemInfo {

/// The distribution's pretty name and the kernel release ("Debian GNU/Linux 12 (bookworm), kernel
/// 6.1.0-18-amd64"), from /etc/os-release (/usr/lib/os-release when that is missing) and uname.
/// Reads a small file: call it once, before the panel shows.
[[nodiscard]] QString operatingSystem();

/// The same line from an os-release text and a kernel release: "Linux" stands in for a missing
/// PRETTY_NAME, and the kernel part is left out when the release is empty.
[[nodiscard]] QString operatingSystem(const QByteArray &osRelease, const QString &kernelRelease);

} // namespace SystemInfo
