// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include <QColor>
#include <QString>
#include <QTest>

// Colours are equal when every component, alpha included, is within a rounding step.
[[nodiscard]] inline bool colorsMatch(const QColor &actual, const QColor &expected)
{
    return qAbs(actual.redF() - expected.redF()) < 0.002 && qAbs(actual.greenF() - expected.greenF()) < 0.002
        && qAbs(actual.blueF() - expected.blueF()) < 0.002 && qAbs(actual.alphaF() - expected.alphaF()) < 0.002;
}

[[nodiscard]] inline QString colorMismatch(const QColor &actual, const QColor &expected)
{
    return QStringLiteral("%1 is not %2").arg(actual.name(QColor::HexArgb), expected.name(QColor::HexArgb));
}

// A macro, not a function: QVERIFY returns only from the function it is written in, and a
// mismatch has to end the test that compares.
#define COMPARE_COLORS(actual, expected)                                                           \
    do {                                                                                           \
        const QColor actualColor_ = (actual);                                                      \
        const QColor expectedColor_ = (expected);                                                  \
        QVERIFY2(colorsMatch(actualColor_, expectedColor_),                                        \
                 qPrintable(colorMismatch(actualColor_, expectedColor_)));                         \
    } while (false)
