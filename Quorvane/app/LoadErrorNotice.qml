// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
import QtQuick
import Quorvane
import Quorvane.Kit

// Why Claude Code's registry could not be read, in place of the project list, with a way to
// report it in builds that can send reports.
Item {
    id: notice

    required property AppModel model
    required property PanelState panel
    // The sentence shown; the model's load error unless the caller passes another.
    property string message: notice.model.loadError
    readonly property var look: ReportViews.loadErrorNotice(notice.model.errorLog.reportingAvailable,
                                                            notice.model.errorLog.reportState)

    width: parent ? parent.width : implicitWidth
    implicitWidth: column.implicitWidth
    implicitHeight: column.height + 56

    Column {
        id: column
        y: 28
        width: parent.width
        spacing: 12

        KitText {
            objectName: "loadErrorText"
            width: parent.width
            text: notice.message
            size: 12
            color: KitPalette.secondaryLabel(KitEnvironment.scheme)
            wrapMode: Text.Wrap
            horizontalAlignment: Text.AlignHCenter
        }
        ReportButton {
            objectName: "loadErrorReport"
            anchors.horizontalCenter: parent.horizontalCenter
            visible: notice.look.showsReportButton
            text: notice.look.report.text
            symbol: notice.look.report.symbol
            busy: notice.look.report.busy
            enabled: notice.look.report.pressable
            onClicked: notice.model.publishing.sendErrorReport()
        }
    }
}
