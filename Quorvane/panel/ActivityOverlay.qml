// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
import QtQuick
import QtQuick.Controls
import Quorvane.Kit
import Quorvane.Panel

// One long-running activity: its title and status, the note while it runs, its live log, and
// the buttons to cancel, retry, close or report. The overlay never changes the sheet; the
// presenter answers its requests and hands in the changed sheet.
DialogShell {
    id: overlay

    // The activity sheet: `id`, `title`, `startedAt`, `note`, `log`, `outcome`.
    required property var sheet
    // Which of the optional actions the presenter answers.
    property bool canCancel: false
    property bool canRetry: false
    property bool canReport: false
    // The shared error log's report state, for the report button's label.
    property int reportState: 0

    signal cancelRequested()
    signal retryRequested()
    signal reportRequested()
    signal closeRequested()

    dialogWidth: DialogStyle.Regular
    dismissible: false
    blocking: false

    Keys.onEscapePressed: (event) => {
        if (look.firstAnswersEscape)
            overlay.pressFirst();
        else
            event.accepted = false;
    }
    Keys.onReturnPressed: (event) => overlay.pressReturn(event)
    Keys.onEnterPressed: (event) => overlay.pressReturn(event)

    function pressReturn(event) {
        if (look.firstAnswersReturn)
            pressFirst();
        else
            event.accepted = false;
    }

    function pressFirst() {
        if (look.firstAction === ActivityOverlayState.CancelRun)
            cancelRequested();
        else
            closeRequested();
    }

    ActivityOverlayState {
        id: look
        outcome: overlay.sheet.outcome
        startedAt: overlay.sheet.startedAt
        note: overlay.sheet.note
        log: overlay.sheet.log
        canCancel: overlay.canCancel
        canRetry: overlay.canRetry
        canReport: overlay.canReport
        reportState: overlay.reportState
        // After the new text is laid out.
        onLogLengthChanged: Qt.callLater(logArea.followEnd)
    }

    // Re-evaluates the time-dependent parts every half second; restarted for a new sheet.
    Timer {
        id: ticker
        objectName: "ticker"
        interval: 500
        repeat: true
        running: true
        onTriggered: look.tick += 1
    }
    readonly property var sheetId: sheet.id
    onSheetIdChanged: ticker.restart()

    Row {
        id: header
        objectName: "header"
        width: parent.width
        spacing: 8
        Accessible.role: Accessible.StaticText
        Accessible.name: overlay.sheet.title + ". " + look.statusText

        Item {
            width: 16.25
            height: 16.25
            anchors.verticalCenter: parent.verticalCenter

            Spinner {
                anchors.centerIn: parent
                visible: look.statusIcon === ActivityOverlayState.Spinner
            }
            MicroIcon {
                objectName: "statusIcon"
                anchors.centerIn: parent
                visible: look.statusIcon !== ActivityOverlayState.Spinner
                symbol: look.statusIcon === ActivityOverlayState.Success ? "checkmark.circle.fill"
                      : look.statusIcon === ActivityOverlayState.Warning ? "exclamationmark.triangle.fill"
                      : "xmark.circle.fill"
                size: look.statusIcon === ActivityOverlayState.Failure ? 13 : 16.25
                color: look.statusIcon === ActivityOverlayState.Success ? KitPalette.systemGreen(KitEnvironment.scheme)
                     : look.statusIcon === ActivityOverlayState.Warning ? KitPalette.systemOrange(KitEnvironment.scheme)
                     : KitPalette.systemRed(KitEnvironment.scheme)
            }
        }
        Text {
            objectName: "title"
            anchors.verticalCenter: parent.verticalCenter
            width: header.width - 16.25 - header.spacing
            text: overlay.sheet.title
            textFormat: Text.PlainText
            font.pixelSize: 13
            font.weight: Font.DemiBold
            color: KitPalette.primaryLabel(KitEnvironment.scheme)
            elide: Text.ElideRight
        }
    }

    Item {
        width: parent.width
        visible: look.showsExplanation
        height: visible ? explanation.implicitHeight + 10 : 0

        KitText {
            id: explanation
            objectName: "explanation"
            y: 10
            width: parent.width
            text: look.explanation
            size: 11
            color: KitPalette.secondaryLabel(KitEnvironment.scheme)
            wrapMode: Text.Wrap
        }
    }

    Item {
        width: parent.width
        visible: overlay.sheet.log !== ""
        height: visible ? logArea.height + 18 : 0

        Rectangle {
            y: 18
            width: parent.width
            height: logArea.height
            radius: 9
            color: Qt.rgba(0, 0, 0, 0.12)
        }

        Flickable {
            id: logArea
            objectName: "log"
            y: 18
            width: parent.width
            height: Math.min(200, logText.implicitHeight / 2 + 18)
            contentWidth: width
            contentHeight: logText.implicitHeight / 2 + 18
            clip: true
            boundsBehavior: Flickable.StopAtBounds
            ScrollBar.vertical: ScrollBar { policy: ScrollBar.AsNeeded }

            // The end of the log comes into view, without animation.
            function followEnd() {
                contentY = Math.max(0, contentHeight - height);
            }

            // Drawn at twice its 10.5-point size and scaled to half, as the kit's KitText does,
            // since fonts resolve to whole pixels; selection follows the scale.
            TextEdit {
                id: logText
                objectName: "logText"
                x: 9
                y: 9
                width: (logArea.width - 18) * 2
                scale: 0.5
                transformOrigin: Item.TopLeft
                text: overlay.sheet.log
                textFormat: TextEdit.PlainText
                readOnly: true
                selectByMouse: true
                wrapMode: TextEdit.Wrap
                font.family: "monospace"
                font.pixelSize: 21
                color: KitPalette.secondaryLabel(KitEnvironment.scheme)
            }
        }
    }

    DialogButtonRow {
        DialogButton {
            objectName: "firstButton"
            text: look.firstLabel
            variant: look.firstVariant
            onClicked: overlay.pressFirst()
        }
        DialogButton {
            objectName: "retryButton"
            visible: look.showsRetry
            text: "Retry"
            variant: DialogStyle.Secondary
            onClicked: overlay.retryRequested()
        }
        ReportButton {
            objectName: "reportButton"
            visible: look.showsReport
            text: look.reportLabel.text
            symbol: look.reportLabel.symbol
            busy: look.reportLabel.busy
            enabled: look.reportLabel.pressable
            onClicked: overlay.reportRequested()
        }
    }
}
