// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
import QtQuick
import Quorvane.Kit

// A pill button: the pressable pill style around a pill label.
PressablePill {
    id: control

    property int variant: Pill.Light
    property real horizontal: 12
    property bool lifted: false
    property string symbol

    contentItem: PillLabel {
        variant: control.variant
        horizontal: control.horizontal
        lifted: control.lifted
        hovered: control.hovering
        text: control.text
        symbol: control.symbol
    }
}
