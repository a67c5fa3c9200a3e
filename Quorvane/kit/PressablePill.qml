// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
import QtQuick
import QtQuick.Templates as T
import Quorvane.Kit

// The behaviour every pill button shares: a hover flag that the panel's hover epoch clears, a
// white wash while hovered in the dark scheme, and a press that shrinks and dims the pill.
T.AbstractButton {
    id: control

    // The pointer is over the button; what the label reads as its hovered state.
    property bool hovering: false
    readonly property int hoverEpoch: KitEnvironment.pillHoverEpoch

    hoverEnabled: true
    padding: 0
    implicitWidth: implicitContentWidth
    implicitHeight: implicitContentHeight
    scale: pressed ? Pill.pressedScale : 1
    opacity: pressed ? Pill.pressedOpacity : 1
    Accessible.role: Accessible.Button
    Accessible.name: text
    Accessible.onPressAction: clicked()

    onHoveredChanged: hovering = hovered
    // Only a change of the epoch clears the flag; the pointer must leave and enter to set it again.
    onHoverEpochChanged: hovering = false
    onVisibleChanged: if (!visible) hovering = false

    Behavior on scale { NumberAnimation { duration: 90; easing.type: Easing.OutQuad } }
    Behavior on opacity { NumberAnimation { duration: 90; easing.type: Easing.OutQuad } }

    Rectangle {
        objectName: "hoverWash"
        anchors.fill: parent
        z: 1
        radius: Math.min(width, height) / 2
        color: Pill.hoverOverlay(control.hovering, KitEnvironment.scheme)

        Behavior on color { ColorAnimation { duration: 120; easing.type: Easing.OutQuad } }
    }
}
