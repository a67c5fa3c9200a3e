// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
import QtQuick
import Quorvane.Kit

// The connecting pill's own window: frameless, above other windows, never focused, at the top
// centre of the screen while the pill is presented.
Window {
    id: window

    flags: Qt.Tool | Qt.FramelessWindowHint | Qt.WindowStaysOnTopHint | Qt.WindowDoesNotAcceptFocus
    color: "transparent"
    visible: ConnectingPill.presented
    width: content.item ? content.item.implicitWidth : 0
    height: content.item ? content.item.implicitHeight : 0

    Connections {
        target: ConnectingPill

        // Every showing starts a fresh content view (so its hover starts false) and places the window.
        function onShown() {
            content.active = false;
            content.active = true;
            ConnectingPill.place(window);
        }
    }

    Loader {
        id: content
        sourceComponent: ConnectingPillContent {}
    }
}
