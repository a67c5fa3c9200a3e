// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include "model/ErrorLog.h"

#include <QMetaType>
#include <QString>

/**
 * @brief What the report button shows for one state of the error-report sender; the kit's
 * ReportButton draws it.
 */
struct ReportButtonLabel
{
    Q_GADGET
    /// The button's text.
    Q_PROPERTY(QString text MEMBER text)
    /// The icon before the text; empty for none.
    Q_PROPERTY(QString symbol MEMBER symbol)
    /// Whether a spinner precedes the text.
    Q_PROPERTY(bool busy MEMBER busy)
    /// Whether a press starts a send: while sending or just sent it does not.
    Q_PROPERTY(bool pressable MEMBER pressable)

public:
    QString text;
    QString symbol;
    bool busy = false;
    bool pressable = false;

    /// The label for that state.
    [[nodiscard]] static ReportButtonLabel of(ErrorLog::ReportState state);

    bool operator==(const ReportButtonLabel &) const = default;
};
