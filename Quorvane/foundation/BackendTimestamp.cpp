// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "foundation/BackendTimestamp.h"

#include "foundation/InternetDateTime.h"

namespace BackendTimestamp {

QDateTime parse(QStringView text)
{
    return InternetDateTime::parse(text, InternetDateTime::backendForm);
}

QString format(const QDateTime &instant)
{
    return instant.toUTC().toString(Qt::ISODateWithMs);
}

} // namespace BackendTimestamp
