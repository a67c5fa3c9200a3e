// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
import QtQuick
import Quorvane.Kit

// The panel's "Report to Developer" button: a prominent pill whose label shows the progress of
// the error-report sender. The owner hands in what the label shows and disables the button
// while a press would not start a send.
PressablePill {
    id: control

    // An icon before the text, when named.
    property string symbol
    // A spinner before the text.
    property bool busy: false

    contentItem: PillLabel {
        variant: Pill.Prominent
        horizontal: 12
        hovered: control.hovering
        text: control.text
        symbol: control.symbol
        busy: control.busy
    }
}
