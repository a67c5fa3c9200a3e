// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
import QtQuick
import Quorvane.Kit
import Quorvane.Panel

// The one dialog every confirmation and notice passes through. It shows the queue's current
// request and answers it through the queue, which runs the action in C++ after taking the request
// off the screen; a request queued behind it then shows in its place.
DialogShell {
    id: overlay

    // The confirm queue: `confirm`, `hasConfirm`, `confirmCurrent()`, `dismissConfirm()`.
    required property var confirms
    readonly property var request: confirms.confirm

    dialogWidth: DialogStyle.Compact
    dismissible: true
    dismissOnEscape: true
    blocking: false
    onDismissRequested: overlay.confirms.dismissConfirm()

    // Return confirms a notice only; in a confirmation no key says yes.
    Keys.onReturnPressed: (event) => overlay.pressReturn(event)
    Keys.onEnterPressed: (event) => overlay.pressReturn(event)

    function pressReturn(event) {
        if (ConfirmOverlayRules.returnConfirms(request.isNotice))
            confirms.confirmCurrent();
        else
            event.accepted = false;
    }

    DialogIcon {
        objectName: "icon"
        visible: overlay.request.icon !== ""
        name: overlay.request.icon
    }
    DialogHeading {
        objectName: "title"
        text: overlay.request.title
    }
    DialogSubheading {
        objectName: "message"
        visible: ConfirmOverlayRules.showsMessage(overlay.request.message)
        text: overlay.request.message
    }
    DialogButtonRow {
        DialogButton {
            objectName: "cancelButton"
            visible: ConfirmOverlayRules.showsCancel(overlay.request.isNotice)
            text: overlay.request.cancelLabel
            variant: DialogStyle.Secondary
            onClicked: overlay.confirms.dismissConfirm()
        }
        DialogButton {
            objectName: "confirmButton"
            text: overlay.request.confirmLabel
            variant: ConfirmOverlayRules.confirmVariant(overlay.request.isDestructive)
            onClicked: overlay.confirms.confirmCurrent()
        }
    }
}
