// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include <QJsonObject>
#include <QString>

/**
 * @brief The parameters of the RPC `acknowledge_publish_oauth_recovery`: the recovery attempt
 * whose stray Webflow authorization the user has removed. The reply is a bare JSON Boolean.
 */
struct RecoveryAcknowledgement
{
    QString state; ///< "p_state", the attempt's state

    [[nodiscard]] QJsonObject toJson() const;
};
