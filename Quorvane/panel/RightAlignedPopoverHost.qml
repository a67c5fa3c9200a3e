// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
import QtQuick
import QtQuick.Templates as T
import Quorvane.Kit

// A popover that opens below the control it fills, its right edge on the control's right edge,
// and tells its owner once when it has closed. Showing it while it shows closes it instead, so a
// second press of the opening control closes it.
Item {
    id: host

    readonly property bool opened: popover.opened
    readonly property alias popover: popover
    // The closure to run once after the popover showing now has closed.
    property var closeHandler: null

    // Shows `content` (a Component), or closes the popover when it shows.
    function show(content, onClose) {
        if (!host.visible || !host.Window.window)
            return
        if (popover.opened) {
            popover.close()
            return
        }
        host.closeHandler = onClose || null
        body.sourceComponent = content
        popover.open()
    }

    T.Popup {
        id: popover
        objectName: "rightAlignedPopover"
        parent: host
        // Centred on a 1-point strip half the width in from the control's right edge, so its right
        // edge meets the control's; a narrow control keeps the strip 1 point from its left edge.
        x: Math.max(1, host.width - width / 2) - width / 2
        y: host.height
        padding: 8
        implicitWidth: implicitContentWidth + leftPadding + rightPadding
        implicitHeight: implicitContentHeight + topPadding + bottomPadding
        closePolicy: T.Popup.CloseOnEscape | T.Popup.CloseOnPressOutsideParent

        background: Rectangle {
            radius: 10
            color: KitPalette.panelBase(KitEnvironment.scheme)
            border.width: 1
            border.color: KitPalette.faded(KitPalette.ink(KitEnvironment.scheme), 0.15)
        }

        contentItem: Loader { id: body }

        onClosed: {
            body.sourceComponent = undefined
            // Cleared before it runs, so it runs at most once per showing.
            const handler = host.closeHandler
            host.closeHandler = null
            if (typeof handler === "function")
                handler()
        }
    }
}
