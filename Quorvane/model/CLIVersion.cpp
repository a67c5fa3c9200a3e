// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "model/CLIVersion.h"

#include <QList>
#include <QRegularExpression>

std::optional<CLIVersion> CLIVersion::parse(QStringView text)
{
    // \d takes every script's digits, so that a triple in other digits is found first and then
    // refused rather than skipped in favour of a later one.
    static const QRegularExpression triple(QStringLiteral(R"((\d+)\.(\d+)\.(\d+))"),
                                           QRegularExpression::UseUnicodePropertiesOption);
    const QRegularExpressionMatch match = triple.match(text);
    if (!match.hasMatch())
        return std::nullopt;

    QList<qint64> numbers;
    for (int group = 1; group <= 3; ++group) {
        bool ok = false;
        const qint64 number = match.capturedView(group).toLongLong(&ok);
        if (ok)
            numbers.append(number);
    }
    if (numbers.size() != 3)
        return std::nullopt;
    return CLIVersion{numbers[0], numbers[1], numbers[2]};
}

QString CLIVersion::description() const
{
    return QStringLiteral("%1.%2.%3").arg(major).arg(minor).arg(patch);
}
