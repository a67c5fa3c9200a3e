// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
import QtQuick
import Quorvane.Kit

// A dialog's large icon, 44 points in the muted colour, 6 points below what precedes it.
Item {
    property alias name: icon.name

    width: parent ? parent.width : implicitWidth
    implicitWidth: icon.implicitWidth
    implicitHeight: icon.implicitHeight + 6

    LargeIcon {
        id: icon
        y: 6
        anchors.horizontalCenter: parent.horizontalCenter
        size: 44
    }
}
