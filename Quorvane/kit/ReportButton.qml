// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
import QtQuick
import Quorvane.Kit

// The panel's "Report to Developer" button: it shows the progress of the error-report sender
// and starts a send when pressed.
PressablePill {
    id: control

    // The error log whose sender this button shows.
    required property QtObject log
    readonly property int reportState: log.reportState

    enabled: ReportButtonLabel.pressable(reportState)
    text: ReportButtonLabel.text(reportState)

    contentItem: PillLabel {
        variant: Pill.Prominent
        horizontal: 12
        hovered: control.hovering
        text: control.text
        symbol: ReportButtonLabel.symbol(control.reportState)
        busy: ReportButtonLabel.busy(control.reportState)
    }
}
