// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
import QtQuick
import Quorvane.Kit

// What a list shows when it has nothing: a large icon, a message and, with both a label and an
// action, an underlined link that emits `actionTriggered`.
Item {
    id: empty

    property string icon
    property string message
    property string actionLabel
    // Whether the link has something to do.
    property bool hasAction: false
    readonly property bool showsLink: actionLabel !== "" && hasAction

    signal actionTriggered()

    width: parent ? parent.width : implicitWidth
    implicitWidth: stack.implicitWidth
    implicitHeight: stack.height + 72

    Column {
        id: stack
        y: 36
        width: parent.width
        spacing: 10

        LargeIcon {
            anchors.horizontalCenter: parent.horizontalCenter
            name: empty.icon
            size: 44
        }
        Column {
            width: parent.width
            spacing: 2

            Text {
                width: parent.width
                text: empty.message
                textFormat: Text.PlainText
                font.pixelSize: 11
                font.weight: Font.Medium
                color: KitPalette.secondaryLabel(KitEnvironment.scheme)
                horizontalAlignment: Text.AlignHCenter
                wrapMode: Text.Wrap
            }
            Text {
                id: link
                objectName: "actionLink"
                anchors.horizontalCenter: parent.horizontalCenter
                visible: empty.showsLink
                text: empty.actionLabel
                textFormat: Text.PlainText
                font.pixelSize: 11
                font.weight: Font.Medium
                font.underline: true
                color: KitPalette.linkText(KitEnvironment.scheme)
                opacity: linkPointer.containsMouse ? 0.75 : 1
                Accessible.role: Accessible.Link
                Accessible.name: text
                Accessible.onPressAction: empty.actionTriggered()

                Behavior on opacity { NumberAnimation { duration: 120; easing.type: Easing.OutQuad } }

                MouseArea {
                    id: linkPointer
                    anchors.fill: parent
                    hoverEnabled: true
                    cursorShape: Qt.PointingHandCursor
                    onClicked: empty.actionTriggered()
                }
            }
        }
    }
}
