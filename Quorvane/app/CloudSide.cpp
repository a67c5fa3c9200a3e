// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "app/CloudSide.h"

#include "app/AppModel.h"

CloudSide::CloudSide(AppModel &model, QObject *parent)
    : QObject(parent)
    , m_model(model)
{
}

std::optional<CloudSide::AppCloudAuthSnapshot> CloudSide::currentCloudAuth() const
{
    if (!m_cloudAuthUserID)
        return std::nullopt;
    return AppCloudAuthSnapshot{*m_cloudAuthUserID, m_cloudAuthGeneration};
}

bool CloudSide::isCurrentCloudAuth(const AppCloudAuthSnapshot &snapshot) const
{
    return m_cloudAuthUserID == snapshot.userID && m_cloudAuthGeneration == snapshot.generation;
}

void CloudSide::applyCloudAuthChange(const std::optional<QUuid> &userID)
{
    Q_UNUSED(userID);
}

void CloudSide::requestSignIn(const QString &reason, std::function<void()> onSuccess)
{
    Q_UNUSED(reason);
    Q_UNUSED(onSuccess);
}

SignInRequest CloudSide::signInValue() const
{
    if (m_signIn)
        return *m_signIn;
    SignInRequest none;
    none.id = QUuid();
    return none;
}
