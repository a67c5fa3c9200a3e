// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include <QColor>
#include <QTest>

// Colours are equal when every component, alpha included, is within a rounding step.
inline void compareColors(const QColor &actual, const QColor &expected)
{
    QVERIFY2(qAbs(actual.redF() - expected.redF()) < 0.002 && qAbs(actual.greenF() - expected.greenF()) < 0.002
                 && qAbs(actual.blueF() - expected.blueF()) < 0.002 && qAbs(actual.alphaF() - expected.alphaF()) < 0.002,
             qPrintable(QStringLiteral("%1 is not %2").arg(actual.name(QColor::HexArgb), expected.name(QColor::HexArgb))));
}
