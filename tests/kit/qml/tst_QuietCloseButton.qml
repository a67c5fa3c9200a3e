// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
import QtQuick
import QtTest
import Quorvane.Kit

Item {
    id: harness
    width: 200
    height: 200

    Component {
        id: closeComponent
        QuietCloseButton { x: 93; y: 93; help: "Dismiss what's new" }
    }

    Component {
        id: spyComponent
        SignalSpy { signalName: "clicked" }
    }

    TestCase {
        name: "QuietCloseButton"
        when: windowShown

        // It takes 14 × 14 points in layout but responds up to 12 points from its centre.
        function test_hitArea_data() {
            return [
                { tag: "centre", x: 7, y: 7, hits: true },
                { tag: "11 points left of the centre", x: -4, y: 7, hits: true },
                { tag: "11 points below the centre", x: 7, y: 18, hits: true },
                { tag: "corner of the square", x: -4.5, y: -4.5, hits: true },
                { tag: "13 points right of the centre", x: 20, y: 7, hits: false },
                { tag: "13 points above the centre", x: 7, y: -6, hits: false },
            ];
        }

        function test_hitArea(data) {
            const button = createTemporaryObject(closeComponent, harness);
            compare(button.width, 14);
            compare(button.height, 14);
            const spy = createTemporaryObject(spyComponent, harness, { target: button });
            mouseClick(harness, button.x + data.x, button.y + data.y);
            compare(spy.count, data.hits ? 1 : 0);
        }

        function test_helpIsTheAccessibleName() {
            const button = createTemporaryObject(closeComponent, harness);
            compare(findChild(button, "hitArea").Accessible.name, "Dismiss what's new");
        }
    }
}
