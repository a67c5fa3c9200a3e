// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "foundation/DisplayText.h"

#include <QList>
#include <QTextBoundaryFinder>

#include <algorithm>

bool containsControlCharacter(QStringView text)
{
    const QList<uint> scalars = text.toUcs4();
    return std::any_of(scalars.cbegin(), scalars.cend(), [](uint scalar) {
        const QChar::Category category = QChar::category(char32_t(scalar));
        return category == QChar::Other_Control || category == QChar::Other_Format;
    });
}

QString sanitizedForDisplay(QStringView text, qsizetype maximum)
{
    static constexpr QChar replacement(u'\u00B7');

    QString result;
    result.reserve(text.size());
    QTextBoundaryFinder clusters(QTextBoundaryFinder::Grapheme, text.data(), text.size());
    qsizetype start = 0;
    for (qsizetype end = clusters.toNextBoundary(); end != -1; end = clusters.toNextBoundary()) {
        const QStringView cluster = text.sliced(start, end - start);
        if (containsControlCharacter(cluster))
            result += replacement;
        else
            result += cluster;
        start = end;
    }

    // Counted on the result itself: a "·" may join a following combining mark into one character.
    QTextBoundaryFinder resultClusters(QTextBoundaryFinder::Grapheme, result);
    qsizetype count = 0;
    qsizetype kept = 0;
    for (qsizetype end = resultClusters.toNextBoundary(); end != -1; end = resultClusters.toNextBoundary()) {
        if (count == maximum)
            return result.left(kept) + u'\u2026';
        ++count;
        kept = end;
    }
    return result;
}
