// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include "backend/SessionStorage.h"

#include <QDBusConnection>

/**
 * @brief The backend session kept in the user's keyring (the freedesktop Secret Service, through
 * QtKeychain): one secret per key under the vault's service name.
 *
 * It never lets the keyring prompt. Before each operation it checks over D-Bus that a secret
 * service runs and that its default collection exists and is unlocked; otherwise the operation
 * fails at once. The check matters because the keyring library reports a missing or locked
 * keyring only on write: a read would answer "nothing stored" and the user would look signed out.
 * Every failure carries the same sentence (failureSentence) and, as its status, the
 * QKeychain::Error code that ended it.
 */
class SessionVault final : public SessionStorage
{
public:
    /// The service name of the backend session's secrets.
    static inline const QString backendSessionService = QStringLiteral("studio.velliscor.quorvane.backend-session");
    /// The message of every failure.
    static inline const QString failureSentence = QStringLiteral(
        "Quorvane couldn\u2019t access its saved sign-in securely. Unlock your keyring and try signing in again.");

    /// A vault for the secrets of one service; bus is where the secret service is looked for.
    explicit SessionVault(QString service, QDBusConnection bus = QDBusConnection::sessionBus());

    [[nodiscard]] QString service() const { return m_service; }

    QCoro::Task<BackendResult<std::optional<QByteArray>>> read(QString key) override;
    QCoro::Task<BackendResult<>> write(QString key, QByteArray data) override;
    QCoro::Task<BackendResult<>> remove(QString key) override;

private:
    /// Success when a secret service runs and its default collection is unlocked.
    QCoro::Task<BackendResult<>> checkUnlocked();

    QString m_service;
    QDBusConnection m_bus;
};
