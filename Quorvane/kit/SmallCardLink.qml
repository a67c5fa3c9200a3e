// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
import QtQuick
import QtQuick.Templates as T
import Quorvane.Kit

// A compact tinted text button in a card tone; it fills the height it is offered.
T.AbstractButton {
    id: control

    property int tone: SmallCardStyle.Brand

    hoverEnabled: true
    leftPadding: 12
    rightPadding: 12
    implicitWidth: implicitContentWidth + leftPadding + rightPadding
    implicitHeight: Math.max(24, implicitContentHeight)
    Accessible.role: Accessible.Button
    Accessible.name: text
    Accessible.onPressAction: clicked()

    contentItem: Text {
        text: control.text
        textFormat: Text.PlainText
        font.pixelSize: 11
        font.weight: Font.Medium
        color: SmallCardStyle.linkTextColor(control.tone, KitEnvironment.scheme)
        horizontalAlignment: Text.AlignHCenter
        verticalAlignment: Text.AlignVCenter
    }

    background: Rectangle {
        radius: 9
        color: SmallCardStyle.linkFill(control.tone, control.hovered, KitEnvironment.scheme)

        Behavior on color { ColorAnimation { duration: 120; easing.type: Easing.OutQuad } }
    }
}
