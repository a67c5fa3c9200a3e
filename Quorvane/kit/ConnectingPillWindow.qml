// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
import QtQuick
import Quorvane.Kit

// The connecting pill's own window: frameless, above other windows, never focused, shown while
// `presented` is true. The owner hands in what it shows, places it, and answers `closeRequested`.
Window {
    id: window

    // The name being connected, already cut to length.
    property string title
    // The connection is confirmed.
    property bool connected: false
    // Whether the pill is on screen.
    property bool presented: false

    // The user pressed the close control.
    signal closeRequested()

    // Starts a fresh content view, so that its hover starts false; the owner calls it on every showing.
    function restart() {
        content.active = false;
        content.active = true;
    }

    flags: Qt.Tool | Qt.FramelessWindowHint | Qt.WindowStaysOnTopHint | Qt.WindowDoesNotAcceptFocus
    color: "transparent"
    visible: presented
    width: content.item ? content.item.implicitWidth : 0
    height: content.item ? content.item.implicitHeight : 0

    Loader {
        id: content
        objectName: "content"
        sourceComponent: ConnectingPillContent {
            title: window.title
            connected: window.connected
            onCloseRequested: window.closeRequested()
        }
    }
}
