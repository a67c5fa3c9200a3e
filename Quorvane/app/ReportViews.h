// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include "model/ErrorLog.h"
#include "model/ReportButtonLabel.h"

#include <QMetaType>
#include <QObject>
#include <QString>
#include <QtQml/qqmlregistration.h>

/**
 * @brief The line under the Connections tab's banners that follows the error report, whichever
 * control started it: what it shows for each state of the report sender.
 */
struct ReportStatusLine
{
    Q_GADGET
    /// The line takes space at all; it is absent while no report is in progress or just ended.
    Q_PROPERTY(bool shown MEMBER shown)
    Q_PROPERTY(QString text MEMBER text)
    /// A spinner precedes the text.
    Q_PROPERTY(bool busy MEMBER busy)
    /// The icon before the text; empty for none.
    Q_PROPERTY(QString symbol MEMBER symbol)
    /// The icon is drawn in the success colour.
    Q_PROPERTY(bool success MEMBER success)
    /// The icon is drawn in the failure colour.
    Q_PROPERTY(bool failure MEMBER failure)

public:
    bool shown = false;
    QString text;
    bool busy = false;
    QString symbol;
    bool success = false;
    bool failure = false;

    /// The line for that state of the sender.
    [[nodiscard]] static ReportStatusLine of(ErrorLog::ReportState state);

    friend bool operator==(const ReportStatusLine &, const ReportStatusLine &) = default;
};

/**
 * @brief The notice that takes the project list's place when Claude Code's registry cannot be
 * read: the model's sentence and, in builds that can send reports, the report button.
 */
struct LoadErrorNoticeLook
{
    Q_GADGET
    Q_PROPERTY(bool showsReportButton MEMBER showsReportButton)
    /// What the report button shows and whether a press sends.
    Q_PROPERTY(ReportButtonLabel report MEMBER report)

public:
    bool showsReportButton = false;
    ReportButtonLabel report;

    /// The notice in a build that can (or cannot) send reports, with the sender in `state`.
    [[nodiscard]] static LoadErrorNoticeLook of(bool reportingAvailable, ErrorLog::ReportState state);

    friend bool operator==(const LoadErrorNoticeLook &, const LoadErrorNoticeLook &) = default;
};

/// The report views' rules for QML, which passes the sender's state as its number.
class ReportViews : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_SINGLETON

public:
    using QObject::QObject;

    Q_INVOKABLE [[nodiscard]] static ReportStatusLine statusLine(int state);
    Q_INVOKABLE [[nodiscard]] static LoadErrorNoticeLook loadErrorNotice(bool reportingAvailable, int state);
};

Q_DECLARE_METATYPE(ReportStatusLine)
Q_DECLARE_METATYPE(LoadErrorNoticeLook)
