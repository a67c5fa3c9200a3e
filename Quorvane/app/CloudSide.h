// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include "model/SignInRequest.h"

#include <QObject>
#include <QString>
#include <QUuid>

#include <functional>
#include <optional>

class AppModel;

/**
 * @brief The application's one notion of who is signed in to the backend, what follows each change
 * of user, the cloud refreshes, notification taps, OAuth-cancellation notices and sign-in requests.
 */
class CloudSide final : public QObject
{
    Q_OBJECT
    /// The pending request to sign in to the backend account; an invalid id when none.
    Q_PROPERTY(SignInRequest signIn READ signInValue NOTIFY signInChanged)
    Q_PROPERTY(bool hasSignIn READ hasSignIn NOTIFY signInChanged)

public:
    /// Who a cloud flow started for: it drops its result when this is no longer current.
    struct AppCloudAuthSnapshot
    {
        QUuid userID;
        qint64 generation = 0;
        friend bool operator==(const AppCloudAuthSnapshot &, const AppCloudAuthSnapshot &) = default;
    };

    explicit CloudSide(AppModel &model, QObject *parent = nullptr);

    /// The signed-in user as the cloud side knows it, with the generation of that knowledge;
    /// none while signed out or before anything was applied.
    [[nodiscard]] std::optional<AppCloudAuthSnapshot> currentCloudAuth() const;
    [[nodiscard]] bool isCurrentCloudAuth(const AppCloudAuthSnapshot &snapshot) const;
    /// Applies a user (or none) as the signed-in identity.
    void applyCloudAuthChange(const std::optional<QUuid> &userID);

    /// Asks the user to sign in; `onSuccess` runs once signed in while the request is fresh.
    void requestSignIn(const QString &reason, std::function<void()> onSuccess);
    [[nodiscard]] const std::optional<SignInRequest> &signIn() const { return m_signIn; }

signals:
    void signInChanged();

private:
    [[nodiscard]] SignInRequest signInValue() const;
    [[nodiscard]] bool hasSignIn() const { return m_signIn.has_value(); }

    AppModel &m_model;
    qint64 m_cloudAuthGeneration = 0;
    std::optional<QUuid> m_cloudAuthUserID;
    std::optional<SignInRequest> m_signIn;
};
