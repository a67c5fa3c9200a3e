// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
import QtQuick
import QtTest
import Quorvane.Kit

Item {
    id: harness
    width: 300
    height: 200

    Component {
        id: pillComponent
        PillButton { x: 50; y: 50; text: "Press me" }
    }

    TestCase {
        name: "Pill"
        when: windowShown

        function cleanup() {
            KitEnvironment.pillHoverEpoch = 0;
            KitEnvironment.scheme = KitPalette.Light;
        }

        function test_pressShrinksAndDims() {
            const pill = createTemporaryObject(pillComponent, harness);
            const clicks = createTemporaryObject(signalSpyComponent, harness, { target: pill, signalName: "clicked" });
            mousePress(pill);
            tryCompare(pill, "scale", 0.96);
            tryCompare(pill, "opacity", 0.85);
            mouseRelease(pill);
            tryCompare(pill, "scale", 1);
            tryCompare(pill, "opacity", 1);
            compare(clicks.count, 1);
        }

        function test_hoverAndEpoch() {
            const pill = createTemporaryObject(pillComponent, harness);
            const label = pill.contentItem;
            mouseMove(pill, 10, 10);
            tryCompare(pill, "hovering", true);
            compare(label.hovered, true);
            // Under the pointer a light pill's glass turns opaque white in the light scheme.
            const backdrop = findChild(pill, "backdrop");
            tryVerify(() => Qt.colorEqual(backdrop.color, "white"));
            KitEnvironment.pillHoverEpoch += 1;
            compare(pill.hovering, false);
            compare(label.hovered, false);
            // It stays clear while the pointer rests; leaving and entering again sets it.
            mouseMove(pill, 12, 10);
            compare(pill.hovering, false);
            mouseMove(harness, 5, 5);
            mouseMove(pill, 10, 10);
            tryCompare(pill, "hovering", true);
            // Off the pill the glass goes back to its resting tint, which is not white.
            mouseMove(harness, 5, 5);
            tryCompare(pill, "hovering", false);
            tryVerify(() => backdrop.color.a < 1);
        }

        function test_disabledLabelIsDimmed() {
            const pill = createTemporaryObject(pillComponent, harness, { enabled: false });
            compare(pill.contentItem.opacity, 0.55);
            const enabled = createTemporaryObject(pillComponent, harness);
            compare(enabled.contentItem.opacity, 1);
        }

        function test_darkHoverWash() {
            KitEnvironment.scheme = KitPalette.Dark;
            const pill = createTemporaryObject(pillComponent, harness);
            const wash = findChild(pill, "hoverWash");
            compare(wash.color.a, 0);
            mouseMove(pill, 10, 10);
            tryCompare(pill, "hovering", true);
            // Under the pointer a white wash at 0.16 covers the pill in the dark scheme.
            tryVerify(() => Math.round(wash.color.a * 100) === 16);
            verify(Qt.colorEqual(Qt.rgba(wash.color.r, wash.color.g, wash.color.b, 1), "white"));
        }
    }

    Component {
        id: signalSpyComponent
        SignalSpy {}
    }
}
