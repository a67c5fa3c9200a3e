// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include "model/ErrorLog.h"

#include <QObject>
#include <QString>
#include <QtQml/qqmlregistration.h>

/**
 * @brief What the report button shows for each state of the error-report sender.
 */
class ReportButtonLabel : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_SINGLETON

public:
    using QObject::QObject;

    /// The button's text.
    Q_INVOKABLE static QString text(ErrorLog::ReportState state);
    /// The icon before the text; empty for none.
    Q_INVOKABLE static QString symbol(ErrorLog::ReportState state);
    /// Whether a spinner precedes the text.
    Q_INVOKABLE static bool busy(ErrorLog::ReportState state);
    /// Whether a press starts a send: while sending or just sent it does not.
    Q_INVOKABLE static bool pressable(ErrorLog::ReportState state);
};
