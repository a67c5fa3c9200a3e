// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "kit/TextRules.h"

#include <QTextBoundaryFinder>

namespace {

bool isSpace(QChar c)
{
    return c == u'\t' || c.category() == QChar::Separator_Space;
}

} // namespace

QString trimmedOfSpaces(const QString &text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isSpace(text.at(begin)))
        ++begin;
    while (end > begin && isSpace(text.at(end - 1)))
        --end;
    return text.mid(begin, end - begin);
}

QString cutToCharacters(const QString &text, int limit, int keep)
{
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    int characters = 0;
    qsizetype keepEnd = text.size();
    while (finder.toNextBoundary() != -1) {
        ++characters;
        if (characters == keep)
            keepEnd = finder.position();
        if (characters >= limit)
            return trimmedOfSpaces(text.left(keepEnd)) + QChar(0x2026);
    }
    return text;
}
