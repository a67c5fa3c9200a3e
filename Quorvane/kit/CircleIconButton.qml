// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
import QtQuick
import Quorvane.Kit

// An icon-only pill button in the circular look.
PressablePill {
    id: control

    property string symbol
    property real symbolSize: 13.75
    property bool destructiveHover: false
    property bool quiet: false

    contentItem: CircleIcon {
        symbol: control.symbol
        symbolSize: control.symbolSize
        hovered: control.hovering
        destructiveHover: control.destructiveHover
        quiet: control.quiet
    }
}
