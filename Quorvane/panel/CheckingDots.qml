// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
import QtQuick
import Quorvane.Kit

// The pills' waiting indicator: three dots pulsing between 0.3 and 1 every 1.6 seconds, each 0.18
// of a period behind the one before.
Row {
    id: dots

    property color color: KitPalette.ink(KitEnvironment.scheme)
    // Seconds; advanced about 30 times a second while the dots show.
    property real time: Date.now() / 1000

    spacing: 3

    Timer {
        interval: 33
        repeat: true
        running: dots.visible
        onTriggered: dots.time = Date.now() / 1000
    }

    Repeater {
        model: 3
        Rectangle {
            required property int index
            anchors.verticalCenter: parent.verticalCenter
            width: 3
            height: 3
            radius: 1.5
            color: dots.color
            opacity: 0.3 + 0.7 * (Math.sin(2 * Math.PI * (dots.time / 1.6 - 0.18 * index)) + 1) / 2
        }
    }
}
