// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
import QtQuick
import QtQuick.Templates as T
import QtTest
import Quorvane.Panel

Item {
    id: root
    width: 480
    height: 400

    property int closes: 0
    property int chosen: 0

    T.AbstractButton {
        id: button
        x: 300
        y: 40
        width: 120
        height: 27
        onClicked: popoverHost.show(content, () => root.closes += 1)

        RightAlignedMenuHost { id: menuHost; anchors.fill: parent }
        RightAlignedPopoverHost { id: popoverHost; anchors.fill: parent }
    }

    Component {
        id: content
        Rectangle { implicitWidth: 200; implicitHeight: 120; color: "teal" }
    }

    TestCase {
        name: "MenuHosts"
        when: windowShown

        function cleanup() {
            menuHost.close()
            popoverHost.popover.close()
            tryCompare(popoverHost, "opened", false)
            root.closes = 0
        }

        // The menu's right edge meets the control's, 4 points below it; a disabled entry stays
        // visible and cannot be chosen.
        function test_menuGeometry() {
            menuHost.show([{ title: "One", enabled: true, action: () => root.chosen += 1 },
                           { divider: true },
                           { title: "Two", enabled: false, action: () => root.chosen += 10 }])
            const menu = menuHost.menu
            tryCompare(menu, "opened", true)
            const corner = menu.contentItem.parent.mapToItem(root, 0, 0)
            fuzzyCompare(corner.x + menu.width, button.x + button.width, 0.5)
            fuzzyCompare(corner.y, button.y + button.height + 4, 0.5)
            const entries = []
            for (let i = 0; i < menu.contentItem.children.length; ++i) {
                const loader = menu.contentItem.children[i]
                if (loader.item && loader.item.objectName === "menuEntry")
                    entries.push(loader.item)
            }
            compare(entries.length, 2)
            // The column lays its rows out after the menu opens.
            tryVerify(() => entries[1].mapToItem(root, 0, 0).y > entries[0].mapToItem(root, 0, 0).y)
            verify(!entries[1].enabled)
            verify(entries[1].visible)
            mouseClick(entries[1])
            compare(root.chosen, 0)
            mouseClick(entries[0])
            compare(root.chosen, 1)
            tryCompare(menu, "opened", false)
        }

        // The popover opens below the control, right-aligned; a second press of the control
        // closes it, and its close handler runs once.
        function test_popoverSecondPressCloses() {
            mouseClick(button)
            const popover = popoverHost.popover
            tryCompare(popover, "opened", true)
            const corner = popover.contentItem.parent.mapToItem(root, 0, 0)
            fuzzyCompare(corner.x + popover.width, button.x + button.width, 0.5)
            fuzzyCompare(corner.y, button.y + button.height, 0.5)
            mouseClick(button)
            tryCompare(popover, "opened", false)
            compare(root.closes, 1)
            wait(50)
            compare(root.closes, 1)
            // A press outside closes it too, once.
            mouseClick(button)
            tryCompare(popover, "opened", true)
            mouseClick(root, 20, 380)
            tryCompare(popover, "opened", false)
            compare(root.closes, 2)
        }

        // A control narrower than half the popover keeps it 1 point from its left edge.
        function test_narrowControlClamps() {
            button.width = 40
            mouseClick(button)
            const popover = popoverHost.popover
            tryCompare(popover, "opened", true)
            const corner = popover.contentItem.parent.mapToItem(root, 0, 0)
            fuzzyCompare(corner.x + popover.width / 2, button.x + 1, 0.5)
            button.width = 120
        }
    }
}
