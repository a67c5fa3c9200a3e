// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "publishing/RecoveryAcknowledgement.h"

using namespace Qt::StringLiterals;

QJsonObject RecoveryAcknowledgement::toJson() const
{
    return {{u"p_state"_s, state}};
}
