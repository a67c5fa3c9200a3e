// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
import QtQuick
import QtTest
import Quorvane.Kit
import Quorvane.Panel
import PanelTest

// The sign-in overlay under the keyboard, with an account signing in to the fixture's backend.
Item {
    id: harness
    width: 440
    height: 480

    property int cancels: 0
    property int signIns: 0

    Component {
        id: overlayComponent
        SignInOverlay {
            anchors.fill: parent
            request: ({ reason: "Sign in to schedule publishes.", suggestedEmail: PanelTest.userEmail() })
            onCancelRequested: harness.cancels += 1
            onSignedIn: harness.signIns += 1
        }
    }

    TestCase {
        name: "SignInOverlay"
        when: windowShown

        function init() {
            harness.cancels = 0;
            harness.signIns = 0;
        }

        function type(text) {
            for (const c of text)
                keyClick(c === " " ? Qt.Key_Space : c);
        }

        // The address is prefilled and focused; Return in it sends, and the code step then
        // takes the focus.
        function test_returnInTheAddressSends() {
            const account = PanelTest.newAccount(true);
            const overlay = createTemporaryObject(overlayComponent, harness, { account: account });
            const field = findChild(overlay, "emailField");
            compare(field.text, PanelTest.userEmail());
            verify(field.activeFocus);
            verify(!findChild(overlay, "spinner").visible);
            keyClick(Qt.Key_Return);
            // While the code is on its way everything but Cancel waits, under a spinner.
            verify(findChild(overlay, "spinner").visible);
            verify(!field.enabled);
            verify(!findChild(overlay, "optIn").enabled);
            verify(!findChild(overlay, "primaryButton").enabled);
            verify(findChild(overlay, "cancelButton").enabled);
            tryVerify(() => findChild(overlay, "codeStep").visible);
            tryVerify(() => findChild(overlay, "codeField").activeFocus);
            compare(findChild(overlay, "heading").text, "Check your email");
        }

        // Typed letters and a ninth digit never reach the field; Return verifies only from six
        // digits on; a refused code empties the field.
        function test_codeField() {
            const account = PanelTest.newAccount(true);
            const overlay = createTemporaryObject(overlayComponent, harness, { account: account });
            keyClick(Qt.Key_Return);
            const field = findChild(overlay, "codeField");
            tryVerify(() => field.activeFocus);
            type("1a2-3 4x5");
            compare(field.text, "12345");
            verify(!findChild(overlay, "primaryButton").enabled);
            keyClick(Qt.Key_Return);
            wait(0);
            compare(overlay.flow.busy, false);
            type("0000");
            compare(field.text, "12345000");
            verify(findChild(overlay, "primaryButton").enabled);
            keyClick(Qt.Key_Return);
            tryCompare(field, "text", "");
            verify(findChild(overlay, "error").text !== "");
            compare(harness.signIns, 0);
            type("123456");
            mouseClick(findChild(overlay, "primaryButton"));
            tryCompare(harness, "signIns", 1);
            compare(findChild(overlay, "cancelButton").text, "Close");
            verify(!findChild(overlay, "primaryButton").visible);
        }

        // An address without a dot after the at sign cannot be sent, by button or by Return.
        function test_implausibleAddressIsNotSent() {
            const account = PanelTest.newAccount(true);
            const overlay = createTemporaryObject(overlayComponent, harness, { account: account });
            const field = findChild(overlay, "emailField");
            field.selectAll();
            type("ada@example");
            compare(overlay.flow.email, "ada@example");
            verify(!findChild(overlay, "primaryButton").enabled);
            keyClick(Qt.Key_Return);
            verify(!findChild(overlay, "spinner").visible);
            verify(field.enabled);
            type(".com");
            verify(findChild(overlay, "primaryButton").enabled);
        }

        // Escape cancels from any field; it never signs in.
        function test_escapeCancels() {
            const account = PanelTest.newAccount(true);
            createTemporaryObject(overlayComponent, harness, { account: account });
            keyClick(Qt.Key_Escape);
            compare(harness.cancels, 1);
            compare(harness.signIns, 0);
        }

        // "Send a new code" returns to the address step with the address as typed.
        function test_sendANewCode() {
            const account = PanelTest.newAccount(true);
            const overlay = createTemporaryObject(overlayComponent, harness, { account: account });
            keyClick(Qt.Key_Return);
            tryVerify(() => findChild(overlay, "codeStep").visible);
            mouseClick(findChild(overlay, "newCodeLink"));
            verify(findChild(overlay, "emailStep").visible);
            compare(findChild(overlay, "emailField").text, PanelTest.userEmail());
            verify(findChild(overlay, "optIn").checked);
        }
    }
}
