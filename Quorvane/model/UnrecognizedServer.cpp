// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "model/UnrecognizedServer.h"

#include "foundation/DisplayText.h"
#include "foundation/RawTextTable.h"

namespace {

using Reason = UnrecognizedServer::Reason;

constexpr RawTextTable<Reason, 6> reasonTexts{{{
    {Reason::unsafeName, u"unsafeName"},
    {Reason::transportNotHTTP, u"transportNotHTTP"},
    {Reason::unexpectedEndpoint, u"unexpectedEndpoint"},
    {Reason::localScopeShadow, u"localScopeShadow"},
    {Reason::projectScoped, u"projectScoped"},
    {Reason::foreignLane, u"foreignLane"},
}}};

} // namespace

QString UnrecognizedServer::endpointSummary() const
{
    const QString summary =
        url ? *url : QStringLiteral("no URL, transport ") + transport.value_or(QStringLiteral("unspecified"));
    return sanitizedForDisplay(summary, 120);
}

std::optional<UnrecognizedServer::Reason> UnrecognizedServer::reasonFromRawText(QStringView text)
{
    return reasonTexts.value(text);
}

bool UnrecognizedServer::isOwnedElsewhere(Reason reason)
{
    return reason == Reason::projectScoped || reason == Reason::foreignLane;
}

QString rawText(UnrecognizedServer::Reason reason)
{
    return reasonTexts.text(reason);
}
