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
        // The box's baseline guide sits 3 points above its lower edge, and the row aligns it with
        // the first baseline of the text: whichever of the two reaches higher starts at the top.
        readonly property real boxBaseline: box.height - 3

        implicitWidth: box.width + 8 + label.implicitWidth
        implicitHeight: Math.max(box.y + box.height, label.y + label.implicitHeight)

        Rectangle {
            id: box
            objectName: "box"
            width: 14
            height: 14
            radius: 4
            y: Math.max(0, label.baselineOffset - parent.boxBaseline)
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

        KitText {
            id: label
            objectName: "label"
            x: box.width + 8
            y: Math.max(0, parent.boxBaseline - baselineOffset)
            width: parent.width - x
            text: control.text
            size: 10.5
            color: KitPalette.secondaryLabel(KitEnvironment.scheme)
            wrapMode: Text.Wrap
        }
    }
}
