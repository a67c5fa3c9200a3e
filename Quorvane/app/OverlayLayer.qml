// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
import QtQuick
import Quorvane.Kit

// One layer of the overlay stack: its overlay exists while `shown`, coming in from a slightly
// smaller size with a fade and leaving the same way, and takes the keyboard focus when it comes.
Item {
    id: layer

    property bool shown: false
    property Component overlay
    readonly property Item item: loader.item
    readonly property int duration: KitEnvironment.reduceMotion ? 0 : 220

    anchors.fill: parent
    visible: loader.active

    onShownChanged: if (!shown) leaving.restart()

    // Keeps the overlay while it fades out.
    Timer {
        id: leaving
        interval: layer.duration + 20
    }

    Loader {
        id: loader
        anchors.fill: parent
        active: layer.shown || leaving.running
        sourceComponent: layer.overlay
        opacity: layer.shown ? 1 : 0
        scale: layer.shown ? 1 : 0.97
        Behavior on opacity { NumberAnimation { duration: layer.duration; easing.type: Easing.OutCubic } }
        Behavior on scale { NumberAnimation { duration: layer.duration; easing.type: Easing.OutCubic } }
        onLoaded: item.forceActiveFocus()
    }
}
