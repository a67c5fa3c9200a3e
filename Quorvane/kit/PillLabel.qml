// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
import QtQuick
import Quorvane.Kit

// The capsule look of a pill's label: text (optionally after an icon or a spinner) on tinted
// glass with a rim, 27 points high; dimmed to 0.55 as a whole when disabled.
Item {
    id: label

    property int variant: Pill.Light
    // Space left and right of the content, in points.
    property real horizontal: 12
    // Light pills only: the darker resting tint that turns near-white under the pointer.
    property bool lifted: false
    // The pointer is over the enclosing pill button.
    property bool hovered: false
    property string text
    // An icon before the text, when named.
    property string symbol
    property real symbolSize: 13.125
    // A spinner before the text.
    property bool busy: false
    readonly property color textColor: Pill.labelTextColor(variant, hovered, KitEnvironment.scheme)

    implicitWidth: row.implicitWidth + 2 * horizontal
    implicitHeight: Pill.height
    opacity: enabled ? 1 : Pill.disabledOpacity

    GlassPillBackdrop {
        objectName: "backdrop"
        anchors.fill: parent
        tint: Pill.labelTint(label.variant, label.lifted, label.hovered, KitEnvironment.scheme)
    }

    GlassRim {
        anchors.fill: parent
        radius: height / 2
        scheme: KitEnvironment.scheme
    }

    Row {
        id: row
        anchors.centerIn: parent
        spacing: 5

        Spinner {
            anchors.verticalCenter: parent.verticalCenter
            visible: label.busy
            color: label.textColor
        }
        MicroIcon {
            anchors.verticalCenter: parent.verticalCenter
            visible: label.symbol !== ""
            symbol: label.symbol
            size: label.symbolSize
            color: label.textColor
        }
        Text {
            anchors.verticalCenter: parent.verticalCenter
            text: label.text
            textFormat: Text.PlainText
            font.pixelSize: 11
            font.weight: Font.Medium
            color: label.textColor
        }
    }
}
