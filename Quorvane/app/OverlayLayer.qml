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

    function holdsFocus(item) {
        for (let focused = Window.activeFocusItem; focused; focused = focused.parent) {
            if (focused === item)
                return true;
        }
        return false;
    }

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
        // An overlay that put the focus in one of its fields while it was made keeps it there;
        // taking it for the overlay itself would leave the user typing into nothing.
        onLoaded: if (!layer.holdsFocus(item)) item.forceActiveFocus()
    }
}
