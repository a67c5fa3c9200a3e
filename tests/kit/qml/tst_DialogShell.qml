// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
import QtQuick
import QtTest
import Quorvane.Kit

Item {
    id: harness
    width: 400
    height: 400

    property int dismissals: 0

    Component {
        id: shellComponent
        DialogShell {
            anchors.fill: parent
            dismissible: true
            onDismissRequested: harness.dismissals += 1
            DialogHeading { text: "Remove the project?" }
            DialogButtonRow {
                DialogButton { objectName: "cancel"; text: "Cancel"; variant: DialogStyle.Secondary }
                DialogButton { objectName: "remove"; text: "Remove"; variant: DialogStyle.Destructive }
            }
        }
    }

    TestCase {
        name: "DialogShell"
        when: windowShown

        function init() {
            harness.dismissals = 0;
        }

        function test_scrimClickDismisses() {
            const shell = createTemporaryObject(shellComponent, harness);
            mouseClick(shell, 5, 5);
            compare(harness.dismissals, 1);
            // A click inside the card never dismisses.
            const card = findChild(shell, "card");
            mouseClick(card, 4, 4);
            compare(harness.dismissals, 1);
        }

        function test_escapeDismisses() {
            const shell = createTemporaryObject(shellComponent, harness);
            keyClick(Qt.Key_Escape);
            compare(harness.dismissals, 1);
        }

        function test_escapeCanBeTurnedOff() {
            const shell = createTemporaryObject(shellComponent, harness, { dismissOnEscape: false });
            keyClick(Qt.Key_Escape);
            compare(harness.dismissals, 0);
            mouseClick(shell, 5, 5);
            compare(harness.dismissals, 1);
        }

        function test_withoutActionNothingDismisses() {
            const shell = createTemporaryObject(shellComponent, harness, { dismissible: false });
            mouseClick(shell, 5, 5);
            keyClick(Qt.Key_Escape);
            compare(harness.dismissals, 0);
        }

        function test_buttonsShareTheRow() {
            const shell = createTemporaryObject(shellComponent, harness);
            const card = findChild(shell, "card");
            compare(card.width, 260 + 28);
            const first = findChild(shell, "cancel");
            const second = findChild(shell, "remove");
            compare(first.width, second.width);
            compare(second.x - first.x - first.width, 8);
        }
    }
}
