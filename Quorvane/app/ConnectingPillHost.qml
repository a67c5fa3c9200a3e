// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
import QtQuick
import Quorvane
import Quorvane.Kit

// The connecting pill's window, showing the application's pill. Its owner hands the pill in as
// the required property when it creates the window.
ConnectingPillWindow {
    id: window

    required property ConnectingPill pill

    title: pill.title
    connected: pill.phase === ConnectingPill.Connected
    presented: pill.presented
    onCloseRequested: pill.closeByHand()

    Connections {
        target: window.pill

        // Every showing starts a fresh content view (so its hover starts false) and places the window.
        function onShown() {
            window.restart();
            window.pill.place(window);
        }
    }
}
