// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "model/ConnectionStatus.h"

#include "foundation/RawTextTable.h"

namespace {

constexpr RawTextTable<ConnectionStatus, 8> statusTexts{{{
    {ConnectionStatus::checking, u"checking"},
    {ConnectionStatus::connected, u"connected"},
    {ConnectionStatus::degraded, u"degraded"},
    {ConnectionStatus::needsAuth, u"needsAuth"},
    {ConnectionStatus::missing, u"missing"},
    {ConnectionStatus::failed, u"failed"},
    {ConnectionStatus::timedOut, u"timedOut"},
    {ConnectionStatus::unknown, u"unknown"},
}}};

} // namespace

QString rawText(ConnectionStatus status)
{
    return statusTexts.text(status);
}

std::optional<ConnectionStatus> connectionStatusFromRawText(QStringView text)
{
    return statusTexts.value(text);
}
