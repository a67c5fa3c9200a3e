// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
import QtQuick
import Quorvane
import Quorvane.Kit

// How the error report goes, whichever control started it: sending, sent or failed. It takes no
// space while no report is under way or just ended.
Item {
    id: line

    required property AppModel model
    required property PanelState panel
    readonly property var status: ReportViews.statusLine(line.model.errorLog.reportState)

    visible: status.shown
    width: parent ? parent.width : implicitWidth
    implicitWidth: row.implicitWidth
    implicitHeight: status.shown ? row.implicitHeight + 6 : 0
    Accessible.role: Accessible.StaticText
    Accessible.name: status.text

    Row {
        id: row
        y: 6
        anchors.horizontalCenter: parent.horizontalCenter
        spacing: 5

        Spinner {
            objectName: "reportSpinner"
            anchors.verticalCenter: parent.verticalCenter
            visible: line.status.busy
            size: 11
            color: KitPalette.secondaryLabel(KitEnvironment.scheme)
        }
        MicroIcon {
            objectName: "reportIcon"
            anchors.verticalCenter: parent.verticalCenter
            visible: line.status.symbol !== ""
            symbol: line.status.symbol
            size: line.status.failure ? 13.75 : 12
            color: line.status.failure ? KitPalette.systemRed(KitEnvironment.scheme)
                                       : KitPalette.systemGreen(KitEnvironment.scheme)
        }
        KitText {
            objectName: "reportText"
            anchors.verticalCenter: parent.verticalCenter
            text: line.status.text
            size: 10.5
            color: KitPalette.secondaryLabel(KitEnvironment.scheme)
        }
    }
}
