// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
import QtQuick
import Quorvane.Kit

// What the connecting pill shows: a spinner or a green check, "Connecting <name>" or
// "<name> connected", and a close control that appears under the pointer. The same dark look in
// both schemes. The owner hands in what it shows and answers the close control.
Item {
    id: pill

    // The name being connected, already cut to length.
    property string title
    // The connection is confirmed.
    property bool connected: false
    readonly property bool hovering: pointer.hovered

    // The user pressed the close control.
    signal closeRequested()
    readonly property color green: KitPalette.systemGreen(KitPalette.Dark)

    implicitWidth: row.implicitWidth + 28 + 12
    implicitHeight: row.implicitHeight + 16 + 12

    HoverHandler { id: pointer }

    Rectangle {
        id: capsule
        anchors.fill: parent
        anchors.margins: 6
        radius: height / 2
        color: Qt.rgba(0, 0, 0, 0.82)
        border.width: 1
        border.color: pill.connected ? Qt.rgba(pill.green.r, pill.green.g, pill.green.b, 0.42) : Qt.rgba(1, 1, 1, 0.16)

        Behavior on border.color { ColorAnimation { duration: 200; easing.type: Easing.OutQuad } }

        Rectangle {
            anchors.fill: parent
            radius: parent.radius
            color: pill.green
            opacity: pill.connected ? 0.13 : 0

            Behavior on opacity { NumberAnimation { duration: 200; easing.type: Easing.OutQuad } }
        }
    }

    Row {
        id: row
        anchors.centerIn: parent
        spacing: 7

        Item {
            width: 16
            height: 16
            anchors.verticalCenter: parent.verticalCenter

            Spinner {
                anchors.centerIn: parent
                size: 13
                color: "white"
                opacity: pill.connected ? 0 : 1
                scale: pill.connected ? 0.55 : 1

                Behavior on opacity { NumberAnimation { duration: 200; easing.type: Easing.OutQuad } }
                Behavior on scale { NumberAnimation { duration: 200; easing.type: Easing.OutQuad } }
            }
            Rectangle {
                anchors.fill: parent
                radius: width / 2
                color: pill.green
                opacity: pill.connected ? 1 : 0
                scale: pill.connected ? 1 : 0.3

                Behavior on opacity { NumberAnimation { duration: 200; easing.type: Easing.OutQuad } }
                Behavior on scale { NumberAnimation { duration: 340; easing.type: Easing.OutBack } }

                MicroIcon {
                    anchors.centerIn: parent
                    symbol: "checkmark"
                    size: 10
                    color: "black"
                }
            }
        }

        Text {
            objectName: "label"
            anchors.verticalCenter: parent.verticalCenter
            text: pill.connected ? pill.title + " connected" : "Connecting " + pill.title
            textFormat: Text.PlainText
            font.pixelSize: 12
            font.weight: Font.Medium
            color: "white"
            maximumLineCount: 1
        }

        MicroIcon {
            id: close
            objectName: "closeControl"
            anchors.verticalCenter: parent.verticalCenter
            symbol: "xmark.circle.fill"
            size: 12
            color: Qt.rgba(1, 1, 1, 0.7)
            opacity: pill.hovering ? 1 : 0
            Accessible.role: Accessible.Button
            Accessible.name: "Close"
            Accessible.onPressAction: pill.closeRequested()

            Behavior on opacity { NumberAnimation { duration: 120; easing.type: Easing.OutQuad } }

            TapHandler {
                enabled: pill.hovering
                onTapped: pill.closeRequested()
            }
        }
    }
}
