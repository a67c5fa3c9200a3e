// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
import QtQuick
import Quorvane.Kit

// A tab's empty state, centred over its content. It has no pointer handling of its own, so it
// never takes a click from a banner or card beneath it, shown or not.
Item {
    id: overlay

    property string iconName
    property string message
    property bool shown: false

    opacity: shown ? 1 : 0
    visible: opacity > 0
    enabled: shown
    Accessible.role: Accessible.StaticText
    Accessible.name: message
    Accessible.ignored: !shown

    // Coming in waits for what leaves to fade first; going away starts at once.
    Behavior on opacity {
        enabled: !KitEnvironment.reduceMotion
        SequentialAnimation {
            PauseAnimation { duration: overlay.shown ? 266 : 0 }
            NumberAnimation {
                duration: overlay.shown ? 360 : 240
                easing.type: Easing.OutCubic
            }
        }
    }

    EmptyState {
        objectName: "emptyState"
        anchors.left: parent.left
        anchors.right: parent.right
        // Centred in the space above a 56-point bottom padding.
        y: Math.max(0, (overlay.height - 56 - height) / 2)
        icon: overlay.iconName
        message: overlay.message
    }
}
