// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
import QtQuick
import QtQuick.Controls
import QtQuick.Templates as T
import Quorvane
import Quorvane.Kit

// The header's circular More button and the menu it opens: the panel's global commands and the
// account section. Which entries show and what each does are MoreMenuCommands'; this lays them out.
Item {
    id: more

    required property AppModel model
    required property PanelState panel
    // Where the copy entries put their text (a Desktop); none: the desktop's own clipboard.
    property QtObject desktop: null
    readonly property alias opened: menu.opened
    readonly property alias commands: commands

    implicitWidth: button.implicitWidth
    implicitHeight: button.implicitHeight

    // Opens the menu, or closes it when it shows.
    function toggle() {
        if (menu.opened)
            menu.close()
        else
            menu.open()
    }

    MoreMenuCommands {
        id: commands
        model: more.model
        panel: more.panel
        desktop: more.desktop
        // The application ends through the panel, whose owner quits the event loop.
        onQuitRequested: more.panel.quit()
    }

    CircleIconButton {
        id: button
        objectName: "moreButton"
        anchors.fill: parent
        symbol: "ellipsis"
        quiet: true
        text: "More"
        Accessible.name: "More actions"
        ToolTip.visible: hovered && !menu.opened
        ToolTip.text: "More"
        ToolTip.delay: 500
        onClicked: more.toggle()
    }

    // The titles measured apart, so every row can take the menu's width.
    Column {
        id: measure
        visible: false
        Repeater {
            model: commands.entries
            Row {
                required property var modelData
                spacing: 16
                KitText {
                    text: modelData.title
                    size: 13
                }
                KitText {
                    text: modelData.shortcut
                    size: 11
                }
            }
        }
    }

    T.Popup {
        id: menu
        objectName: "moreMenu"
        parent: button
        // Right-aligned under the button, so it opens into the panel.
        x: button.width - width
        y: button.height + 4
        padding: 4
        implicitWidth: Math.max(200, measure.implicitWidth + 54 + leftPadding + rightPadding)
        implicitHeight: implicitContentHeight + topPadding + bottomPadding
        // A press on the button itself is left to the button, which closes the menu.
        closePolicy: T.Popup.CloseOnEscape | T.Popup.CloseOnPressOutsideParent

        background: Rectangle {
            radius: 8
            color: KitPalette.panelBase(KitEnvironment.scheme)
            border.width: 1
            border.color: KitPalette.faded(KitPalette.ink(KitEnvironment.scheme), 0.15)
        }

        contentItem: Column {
            id: column
            Accessible.role: Accessible.PopupMenu
            Accessible.name: "More actions"
            Repeater {
                model: commands.entries
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
            readonly property bool choosable: enabled && !entry.label
            readonly property bool highlighted: hovered && choosable
            readonly property color ink: highlighted ? "white" : KitPalette.ink(KitEnvironment.scheme)

            objectName: "moreMenuEntry"
            enabled: entry.enabled !== false
            hoverEnabled: true
            implicitHeight: 24
            text: entry.title || ""
            Accessible.role: entry.label ? Accessible.StaticText
                                         : entry.toggle ? Accessible.CheckBox : Accessible.MenuItem
            Accessible.name: text
            Accessible.checkable: entry.toggle === true
            Accessible.checked: entry.checked === true

            background: Rectangle {
                radius: 4
                color: row.highlighted ? KitPalette.brand(KitEnvironment.scheme) : "transparent"
            }
            contentItem: Item {
                opacity: row.enabled ? 1 : 0.4

                MicroIcon {
                    objectName: "entryIcon"
                    x: 8
                    anchors.verticalCenter: parent.verticalCenter
                    symbol: row.entry.icon || ""
                    size: 13
                    color: row.ink
                }
                KitText {
                    objectName: "entryTitle"
                    x: 30
                    width: parent.width - x - trailing.width - 12
                    anchors.verticalCenter: parent.verticalCenter
                    text: row.text
                    size: 13
                    elide: Text.ElideRight
                    color: row.ink
                }
                Item {
                    id: trailing
                    anchors.right: parent.right
                    anchors.rightMargin: 8
                    anchors.verticalCenter: parent.verticalCenter
                    width: Math.max(check.visible ? check.width : 0, hint.visible ? hint.implicitWidth : 0)
                    height: 13

                    MicroIcon {
                        id: check
                        objectName: "entryCheck"
                        anchors.right: parent.right
                        anchors.verticalCenter: parent.verticalCenter
                        visible: row.entry.toggle === true && row.entry.checked === true
                        symbol: "checkmark"
                        size: 11
                        color: row.ink
                    }
                    KitText {
                        id: hint
                        anchors.right: parent.right
                        anchors.verticalCenter: parent.verticalCenter
                        visible: (row.entry.shortcut || "") !== ""
                        text: row.entry.shortcut || ""
                        size: 11
                        color: row.highlighted ? "white" : KitPalette.secondaryLabel(KitEnvironment.scheme)
                    }
                }
            }

            // A label is shown, never chosen.
            onClicked: {
                if (!row.choosable)
                    return
                const command = row.entry.command
                menu.close()
                commands.activate(command)
            }
        }
    }
}
