// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
import QtQuick
import Qt5Compat.GraphicalEffects
import Quorvane.Kit

// The modal frame of a dialog over the panel: a dimming scrim and a centred card, optionally
// crowned by a crest. When `dismissible`, a click on the scrim or Escape emits `dismissRequested`;
// the presenter then takes the dialog away.
Item {
    id: shell

    property int dialogWidth: DialogStyle.Compact
    // Whether the scrim and Escape dismiss the dialog.
    property bool dismissible: false
    property bool dismissOnEscape: true
    // The picture on the card's top edge, when set.
    property url crestSource
    property real crestSize: 64
    // The heavier scrim.
    property bool blocking: false
    // The dialog's body, stacked without spacing.
    default property alias content: column.data
    readonly property bool effects: GraphicsInfo.api !== GraphicsInfo.Software
    readonly property bool hasCrest: crestSource.toString() !== ""

    // A click on the scrim or Escape, when the dialog is dismissible.
    signal dismissRequested()

    Rectangle {
        id: scrim
        objectName: "scrim"
        anchors.fill: parent
        color: "black"
        opacity: DialogStyle.scrimOpacity(shell.blocking)

        // Clicks outside the card never reach the views behind the dialog.
        MouseArea {
            anchors.fill: parent
            acceptedButtons: Qt.AllButtons
            hoverEnabled: true
            onClicked: if (shell.dismissible) shell.dismissRequested()
            onWheel: (wheel) => wheel.accepted = true
        }
    }

    FocusScope {
        id: card
        objectName: "card"
        anchors.centerIn: parent
        width: column.width + 28
        height: column.height + 28
        focus: true

        Keys.onEscapePressed: (event) => {
            if (shell.dismissible && shell.dismissOnEscape)
                shell.dismissRequested();
            else
                event.accepted = false;
        }

        Rectangle {
            id: material
            anchors.fill: parent
            radius: 10
            color: KitPalette.panelBase(KitEnvironment.scheme)
            layer.enabled: shell.effects
            layer.effect: DropShadow {
                color: Qt.rgba(0, 0, 0, 0.3)
                radius: 24
                samples: 49
                verticalOffset: 8
                transparentBorder: true
            }
        }

        GlassRim {
            anchors.fill: parent
            radius: 10
            intensity: 0.5
            scheme: KitEnvironment.scheme
        }

        // A click inside the card never dismisses.
        MouseArea {
            anchors.fill: parent
            acceptedButtons: Qt.AllButtons
        }

        Column {
            id: column
            x: 14
            y: 14
            width: Math.min(DialogStyle.maximumContentWidth(shell.dialogWidth), Math.max(0, shell.width - 2 * 18 - 2 * 14))

            Item {
                visible: shell.hasCrest
                width: parent.width
                height: DialogStyle.crestSpacerHeight(shell.crestSize)
            }
        }

        Image {
            visible: shell.hasCrest
            source: shell.crestSource
            width: shell.crestSize
            height: shell.crestSize
            sourceSize: Qt.size(shell.crestSize * 2, shell.crestSize * 2)
            fillMode: Image.PreserveAspectFit
            anchors.horizontalCenter: parent.horizontalCenter
            y: -shell.crestSize / 3
            layer.enabled: shell.effects
            layer.effect: DropShadow {
                color: Qt.rgba(0, 0, 0, 0.25)
                radius: 6
                samples: 13
                verticalOffset: 3
                transparentBorder: true
            }
        }
    }

    Component.onCompleted: card.forceActiveFocus()
}
