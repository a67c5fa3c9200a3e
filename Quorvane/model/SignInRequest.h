// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include <QDateTime>
#include <QMetaType>
#include <QString>
#include <QUuid>

#include <functional>
#include <optional>

/**
 * @brief A request to sign in to the backend account, as the sign-in sheet presents it. What
 * follows a successful sign-in stays on the C++ side and runs only while the request is fresh.
 */
struct SignInRequest
{
    Q_GADGET
    Q_PROPERTY(QUuid id MEMBER id)
    Q_PROPERTY(QString reason MEMBER reason)
    Q_PROPERTY(QString suggestedEmail READ suggestedEmailText)
    Q_PROPERTY(QDateTime createdAt MEMBER createdAt)

public:
    /// New and random for every request.
    QUuid id = QUuid::createUuid();
    /// Why sign-in is needed, shown in the sheet.
    QString reason;
    /// The cached profile's address, to pre-fill.
    std::optional<QString> suggestedEmail;
    QDateTime createdAt;
    /// Run once the account is signed in, if the request is still fresh.
    std::function<void()> onSuccess;

    [[nodiscard]] QString suggestedEmailText() const { return suggestedEmail.value_or(QString()); }
};

Q_DECLARE_METATYPE(SignInRequest)
