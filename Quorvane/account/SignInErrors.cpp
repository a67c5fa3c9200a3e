// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "account/SignInErrors.h"

#include "backend/BackendError.h"

QString SignInErrors::sentence(const BackendError &error, bool isVerify)
{
    // Offline covers "not connected" and "connection lost"; an unreachable server (refused, no
    // such host) is not a connection problem of the user's and keeps its own sentence.
    if (error.kind() == BackendError::Kind::Offline || error.kind() == BackendError::Kind::TimedOut)
        return noConnection;
    // The wording matters only for the code check: on the request "invalid" is about the address.
    if (isVerify
        && (error.message().contains(QLatin1StringView("expired"), Qt::CaseInsensitive)
            || error.message().contains(QLatin1StringView("invalid"), Qt::CaseInsensitive)))
        return codeMismatch;
    return error.message();
}
