// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
import QtQuick
import QtQuick.Templates as T
import Quorvane.Kit

// A checkbox row of a dialog: a 14-point box and a wrapping text; clicking anywhere toggles.
T.AbstractButton {
    id: control

    readonly property bool hoverActive: hovered && enabled

    checkable: true
    hoverEnabled: true
    padding: 0
    width: parent ? parent.width : implicitWidth
    implicitWidth: implicitContentWidth
    implicitHeight: implicitContentHeight
    opacity: enabled ? 1 : Pill.disabledOpacity
    Accessible.role: Accessible.CheckBox
    Accessible.name: text
    Accessible.checkable: true
    Accessible.checked: checked
    Accessible.onToggleAction: toggle()
    Accessible.onPressAction: toggle()

    contentItem: Item {
        implicitWidth: box.width + 8 + label.implicitWidth
        implicitHeight: Math.max(box.y + box.height, label.implicitHeight)

        Rectangle {
            id: box
            width: 14
            height: 14
            radius: 4
            // The box's lower edge sits 3 points below the baseline of the text's first line.
            y: Math.max(0, label.y + label.baselineOffset + 3 - height)
            color: DialogStyle.checkboxFill(control.checked, control.hoverActive, KitEnvironment.scheme)
            border.width: 1
            border.color: DialogStyle.checkboxBorder(control.checked, control.hoverActive, KitEnvironment.scheme)

            Behavior on color { ColorAnimation { duration: 120; easing.type: Easing.OutQuad } }
            Behavior on border.color { ColorAnimation { duration: 120; easing.type: Easing.OutQuad } }

            MicroIcon {
                anchors.centerIn: parent
                visible: control.checked
                symbol: "checkmark"
                size: 9
                color: "white"
            }
        }

        Text {
            id: label
            x: box.width + 8
            width: parent.width - x
            text: control.text
            textFormat: Text.PlainText
            font.pixelSize: 10
            color: KitPalette.secondaryLabel(KitEnvironment.scheme)
            wrapMode: Text.Wrap
        }
    }
}
