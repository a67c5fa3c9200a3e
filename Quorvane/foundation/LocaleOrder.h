// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include <QCollator>
#include <QList>
#include <QLocale>

#include <algorithm>

/// Sorts a list in place by a text of each element, ascending, comparing case-insensitively under
/// the user's locale. Stable: an element moves before another only when its text compares strictly
/// lower, so elements whose texts compare equal keep their order.
template <typename T, typename Text>
void sortByLocaleText(QList<T> &list, Text text)
{
    QCollator collator{QLocale()};
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::stable_sort(list.begin(), list.end(), [&](const T &left, const T &right) {
        return collator.compare(text(left), text(right)) < 0;
    });
}
