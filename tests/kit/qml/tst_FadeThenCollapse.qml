// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
import QtQuick
import QtTest
import Quorvane.Kit

Item {
    id: harness
    width: 300
    height: 300

    Component {
        id: boxComponent
        FadeThenCollapse {
            width: 200
            Rectangle { objectName: "card"; implicitHeight: 40; color: "steelblue" }
        }
    }

    TestCase {
        name: "FadeThenCollapse"
        when: windowShown

        function test_madePresentedShowsAtOnce() {
            const box = createTemporaryObject(boxComponent, harness, { isPresented: true });
            const content = findChild(box, "content");
            verify(content.active);
            compare(content.opacity, 1);
            compare(box.implicitHeight, 40);
            const hidden = createTemporaryObject(boxComponent, harness, { isPresented: false });
            compare(hidden.implicitHeight, 0);
            verify(!findChild(hidden, "content").active);
        }

        // Leaving, the content keeps its space while it fades and is removed only once it is
        // fully transparent.
        function test_contentLeavesOnlyWhenFaded() {
            const box = createTemporaryObject(boxComponent, harness, { isPresented: true });
            const content = findChild(box, "content");
            let opacityWhenRemoved = -1;
            content.activeChanged.connect(() => {
                if (!content.active)
                    opacityWhenRemoved = content.opacity;
            });
            box.isPresented = false;
            verify(content.active);
            compare(box.implicitHeight, 40);
            tryVerify(() => !content.active, 2000);
            compare(opacityWhenRemoved, 0);
            tryCompare(box, "implicitHeight", 0);
        }

        // Arriving after a dismissal, the space opens with the content still transparent.
        function test_returningContentFadesIn() {
            const box = createTemporaryObject(boxComponent, harness, { isPresented: true });
            const content = findChild(box, "content");
            box.isPresented = false;
            tryVerify(() => !content.active, 2000);
            box.isPresented = true;
            verify(content.active);
            verify(content.opacity < 0.01);
            tryCompare(content, "opacity", 1);
        }
    }
}
