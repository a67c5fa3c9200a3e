// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
import QtQuick
import QtQuick.Templates as T
import Quorvane.Kit

// A plain text field of the sign-in overlay: centred text on a faint rounded fill.
T.TextField {
    id: field

    width: parent ? parent.width : implicitWidth
    leftPadding: 10
    rightPadding: 10
    topPadding: 8
    bottomPadding: 8
    implicitWidth: 200
    implicitHeight: contentHeight + topPadding + bottomPadding
    horizontalAlignment: TextInput.AlignHCenter
    color: KitPalette.primaryLabel(KitEnvironment.scheme)
    placeholderTextColor: KitPalette.tertiaryLabel(KitEnvironment.scheme)
    selectByMouse: true
    opacity: enabled ? 1 : Pill.disabledOpacity

    // The placeholder, drawn where the text would be.
    Text {
        x: field.leftPadding
        y: field.topPadding
        width: field.width - field.leftPadding - field.rightPadding
        height: field.height - field.topPadding - field.bottomPadding
        visible: field.text === "" && field.preeditText === ""
        text: field.placeholderText
        textFormat: Text.PlainText
        font: field.font
        color: field.placeholderTextColor
        horizontalAlignment: Text.AlignHCenter
        verticalAlignment: Text.AlignVCenter
    }

    background: Rectangle {
        radius: 9
        color: KitPalette.faded(KitPalette.ink(KitEnvironment.scheme), 0.5 * 0.12)
    }
}
