// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
import QtQuick
import QtTest
import Quorvane.Kit
import Quorvane.Panel
import PanelTest

// The Page Status row and explanation page under the pointer: the row's controls start nothing,
// outside titles stay text, and the page's setting goes through its owner.
Item {
    id: harness
    width: 440
    height: 900

    property var flips: []
    property int backs: 0

    Component {
        id: rowComponent
        PageStatusProjectCard {
            width: 400
        }
    }
    Component {
        id: pageComponent
        PageStatusInfoView {
            width: 400
            onEnableNewProjectsByDefaultToggled: (on) => harness.flips.push(on)
            onBack: harness.backs += 1
        }
    }

    TestCase {
        name: "PageStatusViews"
        when: windowShown

        function init() {
            harness.flips = [];
            harness.backs = 0;
        }

        function model(rows, checking, loaded) {
            return { pageStatus: PanelTest.newPageStatus(rows, checking, loaded), siteDirectory: PanelTest.siteDirectory() };
        }

        // Flipping the switch or pressing Reconnect changes nothing the row shows.
        function test_controlsAreInert() {
            const row = createTemporaryObject(rowComponent, harness, {
                model: model([{ siteId: "s", phase: "attention", code: "credential_revoked" }], false, true),
                title: "Acme", siteId: "s" });
            const toggle = findChild(row, "pageStatusSwitch");
            verify(toggle.checked);
            verify(toggle.enabled);
            mouseClick(toggle);
            verify(toggle.checked);
            mouseClick(findChild(row, "reconnectButton"));
            verify(findChild(row, "accessEnded").visible);
            compare(findChild(row, "accessEndedText").text, "Webflow access ended. Reconnect to resume Page Status.");
            compare(toggle.Accessible.name, "Page Status for Acme");
        }

        // A site without a state: header only, switch off; while the store first loads the
        // spinner shows and the switch is disabled.
        function test_withoutAState() {
            const row = createTemporaryObject(rowComponent, harness, { model: model([], true, false), title: "<b>x</b>" });
            verify(findChild(row, "progress").visible);
            verify(!findChild(row, "pageStatusSwitch").checked);
            verify(!findChild(row, "pageStatusSwitch").enabled);
            verify(!findChild(row, "counts").visible);
            compare(findChild(row, "title").textFormat, Text.PlainText);
        }

        function test_counts() {
            const row = createTemporaryObject(rowComponent, harness, {
                model: model([{ siteId: "s", phase: "active", queued: 0, staged: 7 }], false, true), title: "Acme", siteId: "s" });
            verify(findChild(row, "counts").visible);
            compare(findChild(row, "queuedPill").text, "0 queued");
            compare(findChild(row, "stagedPill").text, "7 staged");
            compare(findChild(row, "phaseText").text, "Waiting for update");
            verify(!findChild(row, "progress").visible);
        }

        // The page's switch reports a flip to its owner and shows the owner's value; Back runs once.
        function test_pageSetting() {
            const page = createTemporaryObject(pageComponent, harness);
            const card = findChild(page, "defaultToggle");
            mouseClick(findChild(card, "modeSwitch"));
            compare(harness.flips, [true]);
            verify(!card.isOn);
            page.enableNewProjectsByDefault = true;
            verify(card.isOn);
            mouseClick(findChild(page, "backButton"));
            compare(harness.backs, 1);
        }

        function test_pageColours_data() {
            return [
                { tag: "light", scheme: KitPalette.Light, alpha: 0.75, divider: 0.55 },
                { tag: "dark", scheme: KitPalette.Dark, alpha: 0.88, divider: 0.35 },
            ];
        }

        function test_pageColours(data) {
            KitEnvironment.scheme = data.scheme;
            const page = createTemporaryObject(pageComponent, harness);
            fuzzyCompare(findChild(page, "heading").color.a, data.alpha, 0.01);
            compare(findChild(page, "divider").opacity, data.divider);
            KitEnvironment.scheme = KitPalette.Light;
        }
    }
}
