// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
import QtQuick
import Quorvane.Kit

// The glass behind the whole panel, with its 16-point corners, lightly darkened.
Rectangle {
    radius: 16
    color: KitPalette.panelBase(KitEnvironment.scheme)
    clip: true

    Rectangle {
        anchors.fill: parent
        radius: parent.radius
        color: Qt.rgba(0, 0, 0, 0.10)
        opacity: 0.6
    }
}
