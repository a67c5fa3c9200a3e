// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
import QtQuick
import QtTest
import Quorvane.Onboarding
import OnboardingTest

// About: its version line, and which gestures close it.
Item {
    id: harness
    width: 400
    height: 500

    property int closes: 0

    Component {
        id: aboutComponent
        AboutOverlay {
            anchors.fill: parent
            version: "1.2.3"
            opener: RecordingLinkOpener {}
            onClose: harness.closes += 1
        }
    }

    TestCase {
        name: "AboutOverlay"
        when: windowShown

        function init() {
            harness.closes = 0;
        }

        // The dialog as drawn: its card has grown round its content.
        function open() {
            const about = createTemporaryObject(aboutComponent, harness);
            waitForRendering(about);
            return about;
        }

        function test_namesTheVersionAndTheMaker() {
            const about = open();
            compare(findChild(about, "name").text, "Quorvane");
            compare(findChild(about, "version").text, "Version 1.2.3");
            compare(findChild(findChild(about, "productLink"), "label").text, "quorvane.app");
            compare(findChild(findChild(about, "makerLink"), "label").text, "velliscor.studio");
            about.version = "";
            compare(findChild(about, "version").text, "Version dev");
        }

        function test_escapeCloses() {
            open();
            keyClick(Qt.Key_Escape);
            compare(harness.closes, 1);
        }

        function test_aClickBesideTheDialogCloses() {
            const about = open();
            mouseClick(about, 8, 8);
            compare(harness.closes, 1);
        }

        // A link opens its site and the dialog stays; so does a click on the card itself.
        function test_aLinkOpensWithoutClosing() {
            const about = open();
            mouseClick(findChild(about, "productLink"));
            mouseClick(findChild(about, "makerLink"));
            mouseClick(findChild(about, "name"));
            compare(about.opener.opened, ["https://quorvane.app", "https://velliscor.studio"]);
            compare(harness.closes, 0);
        }
    }
}
