// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
import QtQuick
import Quorvane.Kit

// A small indeterminate progress spinner: eight dots fading around a circle.
Item {
    id: spinner

    property color color: KitPalette.ink(KitEnvironment.scheme)
    property real size: 11

    implicitWidth: size
    implicitHeight: size
    Accessible.role: Accessible.Indicator
    Accessible.name: "In progress"

    Item {
        id: dots
        anchors.fill: parent

        Repeater {
            model: 8
            Rectangle {
                required property int index
                width: spinner.size / 5
                height: width
                radius: width / 2
                color: spinner.color
                opacity: 0.2 + 0.8 * index / 7
                x: (spinner.size - width) / 2 + Math.sin(index / 8 * 2 * Math.PI) * (spinner.size - width) / 2
                y: (spinner.size - height) / 2 - Math.cos(index / 8 * 2 * Math.PI) * (spinner.size - height) / 2
            }
        }

        RotationAnimator on rotation {
            from: 0
            to: 360
            duration: 900
            loops: Animation.Infinite
            running: spinner.visible
        }
    }
}
