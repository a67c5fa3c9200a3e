// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
import QtQuick
import Quorvane.Kit

// What shows in place of a list while Claude's registry is being read.
Item {
    implicitWidth: row.implicitWidth
    implicitHeight: row.implicitHeight + 56
    Accessible.role: Accessible.StaticText
    Accessible.name: label.text

    Row {
        id: row
        anchors.centerIn: parent
        spacing: 8

        Spinner {
            anchors.verticalCenter: parent.verticalCenter
            size: 12
            color: KitPalette.secondaryLabel(KitEnvironment.scheme)
        }
        KitText {
            id: label
            objectName: "readingConnections"
            anchors.verticalCenter: parent.verticalCenter
            text: "Reading connections…"
            size: 12
            color: KitPalette.secondaryLabel(KitEnvironment.scheme)
        }
    }
}
