// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
import QtQuick
import Quorvane.Kit

// A text link in the bottom bar of a tab: no button chrome, the whole padded line clickable.
Item {
    id: link

    property string label
    signal clicked()

    implicitWidth: text.implicitWidth
    implicitHeight: text.implicitHeight + 20
    Accessible.role: Accessible.Link
    Accessible.name: label
    Accessible.onPressAction: link.clicked()

    Text {
        id: text
        objectName: "label"
        y: 10
        text: link.label
        textFormat: Text.PlainText
        font.pixelSize: 11
        font.weight: Font.Medium
        color: KitPalette.secondaryLabel(KitEnvironment.scheme)
        opacity: pointer.containsMouse ? 0.75 : 1

        Behavior on opacity { NumberAnimation { duration: 120; easing.type: Easing.OutQuad } }
    }

    MouseArea {
        id: pointer
        anchors.fill: parent
        hoverEnabled: true
        cursorShape: Qt.PointingHandCursor
        onClicked: link.clicked()
    }
}
