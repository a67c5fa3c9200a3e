// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
import QtQuick
import QtTest
import Quorvane.Kit

Item {
    id: harness
    width: 400
    height: 300

    // An owner that keeps the mode and follows the switch.
    Component {
        id: followingOwner
        Item {
            property bool mode: false
            readonly property ModeToggleCard card: card
            ModeToggleCard {
                id: card
                width: 320
                isOn: parent.mode
                onHeading: "On"
                offHeading: "Off"
                detail: "Skips the publish if the site changed first."
                isAvailable: false
                unavailableDetail: "Sign in to change this."
                onToggled: on => parent.mode = on
            }
        }
    }

    // An owner that keeps the mode and refuses every flip.
    Component {
        id: refusingOwner
        Item {
            property bool mode: false
            readonly property ModeToggleCard card: card
            ModeToggleCard { id: card; width: 320; isOn: parent.mode; detail: "A mode" }
        }
    }

    Component {
        id: spyComponent
        SignalSpy { signalName: "toggled" }
    }

    TestCase {
        name: "ModeToggleCard"
        when: windowShown

        // The size the glyphs of a text reach on screen: the font's pixels through every scale.
        function drawnSize(text) {
            const glyphs = findChild(text, "glyphs") || text;
            return glyphs.mapToItem(null, 0, 0, 0, glyphs.fontInfo.pixelSize).height;
        }

        function test_followsItsOwnerAfterAClick() {
            const owner = createTemporaryObject(followingOwner, harness);
            const toggle = findChild(owner.card, "modeSwitch");
            owner.card.isAvailable = true;
            mouseClick(toggle);
            compare(owner.mode, true);
            compare(owner.card.isOn, true);
            compare(toggle.checked, true);
            // The owner's later changes still reach the card and its switch.
            owner.mode = false;
            compare(owner.card.isOn, false);
            compare(toggle.checked, false);
            mouseClick(toggle);
            compare(owner.mode, true);
            owner.mode = false;
            compare(toggle.checked, false);
        }

        function test_switchShowsTheOwnersValue() {
            const owner = createTemporaryObject(refusingOwner, harness);
            const toggle = findChild(owner.card, "modeSwitch");
            const spy = createTemporaryObject(spyComponent, harness, { target: owner.card });
            mouseClick(toggle);
            compare(spy.count, 1);
            compare(spy.signalArguments[0][0], true);
            compare(owner.card.isOn, false);
            compare(toggle.checked, false);
            owner.mode = true;
            compare(toggle.checked, true);
        }

        function test_unavailableSwitchTakesNoClick() {
            const owner = createTemporaryObject(followingOwner, harness);
            mouseClick(findChild(owner.card, "modeSwitch"));
            compare(owner.mode, false);
        }

        function test_textSizes_data() {
            return [{ tag: "detail", name: "detail" }, { tag: "note", name: "note" }];
        }

        function test_textSizes(data) {
            const owner = createTemporaryObject(followingOwner, harness);
            const text = findChild(owner.card, data.name);
            verify(text.visible);
            fuzzyCompare(drawnSize(text), 10.5, 0.01);
        }
    }
}
