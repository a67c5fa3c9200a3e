// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
import QtQuick
import QtQuick.Templates as T
import Quorvane.Kit

// A menu that opens 4 points below the control it fills, its right edge on the control's right
// edge, so it extends to the left. Fill the opening control with it and call show() from the
// control's action; a press on the control while the menu shows leaves it to the control.
Item {
    id: host

    // The entries of the showing menu: maps of title, enabled and action (a function), or
    // { divider: true }.
    property var items: []
    readonly property bool opened: menu.opened
    readonly property alias menu: menu

    // Shows the entries, built anew; a host that is not on screen shows nothing.
    function show(entries) {
        if (!host.visible || !host.Window.window)
            return
        host.items = entries
        menu.open()
    }

    function close() {
        menu.close()
    }

    Column {
        id: measure
        visible: false
        Repeater {
            model: host.items
            KitText {
                required property var modelData
                text: modelData.title || ""
                size: 13
            }
        }
    }

    T.Popup {
        id: menu
        objectName: "rightAlignedMenu"
        parent: host
        x: host.width - width
        y: host.height + 4
        padding: 4
        // As wide as the widest title, measured apart so the rows can take the menu's width.
        implicitWidth: Math.max(160, measure.implicitWidth + 24 + leftPadding + rightPadding)
        implicitHeight: implicitContentHeight + topPadding + bottomPadding
        closePolicy: T.Popup.CloseOnEscape | T.Popup.CloseOnPressOutsideParent

        background: Rectangle {
            radius: 8
            color: KitPalette.panelBase(KitEnvironment.scheme)
            border.width: 1
            border.color: KitPalette.faded(KitPalette.ink(KitEnvironment.scheme), 0.15)
        }

        contentItem: Column {
            id: column
            Repeater {
                model: host.items
                delegate: Loader {
                    required property var modelData
                    width: column.width
                    sourceComponent: modelData.divider ? dividerRow : entryRow
                    onLoaded: item.entry = modelData
                }
            }
        }
    }

    Component {
        id: dividerRow
        Item {
            property var entry
            implicitHeight: 9
            Rectangle {
                anchors.verticalCenter: parent.verticalCenter
                x: 8
                width: parent.width - 16
                height: 1
                color: KitPalette.faded(KitPalette.ink(KitEnvironment.scheme), 0.15)
            }
        }
    }

    Component {
        id: entryRow
        T.AbstractButton {
            id: row
            property var entry: ({})
            objectName: "menuEntry"
            enabled: entry.enabled !== false
            hoverEnabled: true
            implicitWidth: column.width
            implicitHeight: 22
            text: entry.title || ""
            Accessible.role: Accessible.MenuItem
            Accessible.name: text

            background: Rectangle {
                radius: 4
                color: row.hovered && row.enabled ? KitPalette.brand(KitEnvironment.scheme) : "transparent"
            }
            contentItem: Item {
                KitText {
                    id: label
                    x: 12
                    anchors.verticalCenter: parent.verticalCenter
                    text: row.text
                    size: 13
                    color: row.hovered && row.enabled ? "white" : KitPalette.ink(KitEnvironment.scheme)
                    opacity: row.enabled ? 1 : 0.4
                }
            }
            onClicked: {
                const chosen = row.entry.action
                menu.close()
                if (typeof chosen === "function")
                    chosen()
            }
        }
    }
}
