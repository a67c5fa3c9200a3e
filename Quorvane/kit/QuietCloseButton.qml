// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
import QtQuick
import QtQuick.Controls
import Quorvane.Kit

// A small close glyph with a tooltip: it takes 14 × 14 points in layout but responds over the
// 24 × 24 square centred on it.
Item {
    id: root

    // Tooltip and accessibility label.
    property string help

    signal clicked()

    implicitWidth: 14
    implicitHeight: 14

    AbstractButton {
        id: button
        objectName: "hitArea"
        x: -5
        y: -5
        width: 24
        height: 24
        padding: 0
        hoverEnabled: true
        background: null
        contentItem: Item {
            MicroIcon {
                anchors.centerIn: parent
                symbol: "xmark"
                size: 9
                color: KitPalette.secondaryLabel(KitEnvironment.scheme)
            }
        }
        Accessible.role: Accessible.Button
        Accessible.name: root.help
        Accessible.onPressAction: root.clicked()
        ToolTip.visible: hovered && root.help !== ""
        ToolTip.text: root.help
        ToolTip.delay: 500
        onClicked: root.clicked()
    }
}
