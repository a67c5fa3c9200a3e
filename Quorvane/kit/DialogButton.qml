// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
import QtQuick
import QtQuick.Layouts
import Quorvane.Kit

// A dialog's button: a pill that stretches to its share of the row. Busy, it shows a spinner
// before its label and cannot be clicked.
PressablePill {
    id: control

    property int variant: DialogStyle.Primary
    property bool busy: false

    enabled: !busy
    Layout.fillWidth: true
    Layout.preferredWidth: 1

    contentItem: PillLabel {
        variant: DialogStyle.pillVariant(control.variant)
        horizontal: 14
        hovered: control.hovering
        text: control.text
        busy: control.busy
    }
}
