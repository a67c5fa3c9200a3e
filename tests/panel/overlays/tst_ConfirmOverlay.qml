// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
import QtQuick
import QtTest
import Quorvane.Kit
import Quorvane.Panel
import PanelTest

// The confirm overlay over the application's own confirm queue: what it shows, which keys and
// clicks answer it, and that the request queued behind the answered one shows next.
Item {
    id: harness
    width: 420
    height: 420

    Component {
        id: overlayComponent
        ConfirmOverlay {
            anchors.fill: parent
        }
    }

    TestCase {
        name: "ConfirmOverlay"
        when: windowShown

        function show(fields) {
            const queue = PanelTest.newConfirmQueue();
            for (const f of fields)
                PanelTest.present(queue, f);
            PanelTest.clearEvents();
            const overlay = createTemporaryObject(overlayComponent, harness, { confirms: queue });
            verify(overlay);
            return overlay;
        }

        function test_partsFollowTheRequest_data() {
            return [
                { tag: "confirmation", fields: { title: "Remove Acme?", message: "It goes.", confirmLabel: "Remove", isDestructive: true, icon: "recycle-bin" },
                  cancel: true, message: true, icon: true, variant: DialogStyle.Destructive },
                { tag: "plain confirmation, no icon, empty message", fields: { title: "Move?", confirmLabel: "Move" },
                  cancel: true, message: false, icon: false, variant: DialogStyle.Primary },
                { tag: "notice", fields: { title: "Saved", message: "Done.", confirmLabel: "OK", cancelLabel: "Never shown", isNotice: true },
                  cancel: false, message: true, icon: false, variant: DialogStyle.Primary },
            ];
        }

        function test_partsFollowTheRequest(data) {
            const overlay = show([data.fields]);
            compare(findChild(overlay, "cancelButton").visible, data.cancel);
            compare(findChild(overlay, "message").visible, data.message);
            compare(findChild(overlay, "icon").visible, data.icon);
            compare(findChild(overlay, "title").text, data.fields.title);
            const confirm = findChild(overlay, "confirmButton");
            compare(confirm.text, data.fields.confirmLabel);
            compare(confirm.variant, data.variant);
        }

        // The confirm button takes the request off the screen first and runs its action after,
        // once; a notice queued while the confirmation showed is then on screen, not lost.
        function test_confirmDismissesThenActs() {
            const overlay = show([{ title: "Disconnect?", confirmLabel: "Disconnect" },
                                  { title: "Cleanup pending", confirmLabel: "OK", isNotice: true }]);
            mouseClick(findChild(overlay, "confirmButton"));
            compare(PanelTest.events, ["shown Cleanup pending", "action Disconnect?"]);
            compare(findChild(overlay, "title").text, "Cleanup pending");
            verify(!findChild(overlay, "cancelButton").visible);
            keyClick(Qt.Key_Return);
            compare(PanelTest.events, ["shown Cleanup pending", "action Disconnect?", "shown none", "action Cleanup pending"]);
        }

        // An action that asks a follow-up question leaves that question showing.
        function test_followUpRequestStays() {
            const overlay = show([{ title: "Remove?", confirmLabel: "Remove", then: { title: "Removed", isNotice: true } }]);
            mouseClick(findChild(overlay, "confirmButton"));
            compare(PanelTest.events, ["shown none", "action Remove?", "shown Removed"]);
            compare(findChild(overlay, "title").text, "Removed");
        }

        function test_onlyDismiss_data() {
            return [
                { tag: "cancel button, confirmation", notice: false, how: "cancel" },
                { tag: "Escape, confirmation", notice: false, how: "escape" },
                { tag: "backdrop, confirmation", notice: false, how: "backdrop" },
                { tag: "Escape, notice", notice: true, how: "escape" },
                { tag: "backdrop, notice", notice: true, how: "backdrop" },
            ];
        }

        // Cancel, Escape and a click beside the card dismiss without running the action.
        function test_onlyDismiss(data) {
            const overlay = show([{ title: "Question", confirmLabel: "Yes", isNotice: data.notice }]);
            if (data.how === "cancel")
                mouseClick(findChild(overlay, "cancelButton"));
            else if (data.how === "escape")
                keyClick(Qt.Key_Escape);
            else
                mouseClick(overlay, 4, 4);
            compare(PanelTest.events, ["shown none"]);
        }

        function test_returnOnlyInANotice_data() {
            return [
                { tag: "confirmation", notice: false, destructive: false, events: [] },
                { tag: "destructive confirmation", notice: false, destructive: true, events: [] },
                { tag: "notice", notice: true, destructive: false, events: ["shown none", "action Note"] },
                { tag: "destructive notice", notice: true, destructive: true, events: ["shown none", "action Note"] },
            ];
        }

        function test_returnOnlyInANotice(data) {
            show([{ title: "Note", confirmLabel: "OK", isNotice: data.notice, isDestructive: data.destructive }]);
            keyClick(Qt.Key_Return);
            keyClick(Qt.Key_Enter);
            compare(PanelTest.events, data.events);
        }
    }
}
