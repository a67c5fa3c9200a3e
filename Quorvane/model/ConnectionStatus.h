// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include <QString>
#include <QStringView>

#include <optional>

/// The live state of a connection, from the last status query. Never persisted.
enum class ConnectionStatus {
    checking,
    connected,
    /// Connected, but its tool list could not be fetched.
    degraded,
    needsAuth,
    missing,
    /// Failed, in error or disconnected.
    failed,
    timedOut,
    unknown,
};

/// The status's fixed text, the case's own name ("needsAuth").
[[nodiscard]] QString rawText(ConnectionStatus status);

/// The status whose text is exactly this one (case-sensitive, untrimmed); nothing for any other.
[[nodiscard]] std::optional<ConnectionStatus> connectionStatusFromRawText(QStringView text);
