// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
import QtQuick
import QtTest
import Quorvane.Kit
import Quorvane.Panel
import PanelTest

Item {
    id: root
    width: 480
    height: 420

    Component { id: fixtureType; PanelFixture {} }
    Component { id: cardType; ProjectCard { width: 360 } }
    Component { id: plain; Text { font.pixelSize: 17 } }

    TestCase {
        name: "ProjectCard"
        when: windowShown

        function makeCard(title, status) {
            const fixture = createTemporaryObject(fixtureType, root)
            const id = fixture.addProject(title, "webflow-acme")
            if (status !== "")
                fixture.setConnection("webflow-acme", status)
            const card = createTemporaryObject(cardType, root, {
                appModel: fixture, projectId: id, actions: fixture.actions, desktop: fixture.desktop, x: 10, y: 10
            })
            verify(card)
            return { fixture: fixture, card: card }
        }

        // The live pill copies the sentence naming the server and the site, says so for its
        // interval, and a second copy starts the interval again.
        function test_livePillCopies() {
            const made = makeCard("Acme", "connected")
            const pill = findChild(made.card, "statusPill")
            compare(pill.label, "MCP Live")
            compare(made.card.controller.copyResetInterval, 1800)
            made.card.controller.copyResetInterval = 300
            mouseClick(pill)
            compare(made.fixture.desktop.copies, ["Use the webflow-acme Webflow MCP server to work on Acme."])
            compare(pill.label, "Copied!")
            compare(pill.symbol, "checkmark.circle")
            wait(200)
            mouseClick(pill)
            wait(200)
            // 400 ms after the first copy, 200 after the second: still showing.
            compare(pill.label, "Copied!")
            compare(made.fixture.desktop.copies.length, 2)
            tryCompare(pill, "label", "MCP Live", 1000)
            compare(pill.symbol, "circle.fill")
        }

        // The title comes from the user or a file: markup in it is shown as typed.
        function test_titleIsPlainText() {
            const made = makeCard("<b>x</b>", "")
            const title = findChild(made.card, "title")
            const glyphs = findChild(title, "glyphs")
            compare(glyphs.text, "<b>x</b>")
            compare(glyphs.textFormat, Text.PlainText)
            const bare = createTemporaryObject(plain, root, { text: "x" })
            verify(glyphs.implicitWidth > 3 * bare.implicitWidth)
        }

        // The gear opens the card's menu under it, right-aligned; a second press closes it; a
        // chosen entry runs its action.
        function test_gearMenu() {
            const made = makeCard("Acme", "connected")
            const gear = findChild(made.card, "gear")
            mouseMove(made.card, 20, 20)
            tryCompare(gear, "opacity", 1)
            mouseClick(gear)
            const menu = findChild(gear, "rightAlignedMenu")
            tryCompare(menu, "opened", true)
            const corner = menu.contentItem.parent.mapToItem(root, 0, 0)
            const gearCorner = gear.mapToItem(root, gear.width, gear.height)
            fuzzyCompare(corner.x + menu.width, gearCorner.x, 0.5)
            fuzzyCompare(corner.y, gearCorner.y + 4, 0.5)
            mouseClick(gear)
            tryCompare(menu, "opened", false)

            mouseClick(gear)
            tryCompare(menu, "opened", true)
            let verifyEntry = null
            const entries = findChildren(menu.contentItem, "menuEntry")
            for (const entry of entries) {
                if (entry.text === "Verify Site")
                    verifyEntry = entry
            }
            tryVerify(() => verifyEntry.mapToItem(root, 0, 0).y > corner.y + 30)
            mouseClick(verifyEntry)
            tryCompare(menu, "opened", false)
            compare(made.fixture.actions.calls, ["verifyScope(webflow-acme)"])
        }

        function findChildren(item, name) {
            let found = []
            for (let i = 0; i < item.children.length; ++i) {
                const child = item.children[i]
                if (child.objectName === name)
                    found.push(child)
                found = found.concat(findChildren(child, name))
            }
            return found
        }

        // A pending server waits with dots and cannot be pressed while its check runs.
        function test_pendingPill() {
            const made = makeCard("Acme", "checking")
            const pill = findChild(made.card, "statusPill")
            verify(pill.dots)
            verify(!pill.enabled)
            fuzzyCompare(pill.opacity, 0.55, 0.001)
            made.fixture.setConnection("webflow-acme", "missing")
            verify(pill.enabled)
            mouseClick(pill)
            compare(made.fixture.actions.calls, ["connectProject(webflow-acme, -, -)"])
        }
    }
}
