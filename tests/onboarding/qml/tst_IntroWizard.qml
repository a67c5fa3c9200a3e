// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
import QtQuick
import QtTest
import Quorvane.Onboarding

// The introduction over a stand-in model: its steps, the keys and clicks that move through it or
// end it, every variant of its Claude and account pages and what their buttons ask the model.
Item {
    id: harness
    width: 420
    height: 560

    Component {
        id: fakeComponent
        FakeModel {}
    }

    Component {
        id: wizardComponent
        IntroWizard {
            anchors.fill: parent
            onClose: model.note("close")
        }
    }

    TestCase {
        name: "IntroWizard"
        when: windowShown

        function open(settings) {
            const fake = createTemporaryObject(fakeComponent, harness, settings || {});
            const wizard = createTemporaryObject(wizardComponent, harness, { model: fake });
            // As drawn: the card has grown round the page.
            waitForRendering(wizard);
            return { fake: fake, wizard: wizard };
        }

        function text(item, name) {
            return findChild(item, name).text;
        }

        function goTo(wizard, title) {
            for (let i = 0; i < 5 && text(wizard, "stepTitle") !== title; ++i)
                keyClick(Qt.Key_Return);
            compare(text(wizard, "stepTitle"), title);
        }

        function test_returnWalksToTheEnd_data() {
            return [
                { tag: "signed in with a connection", claudeAuth: "signedIn", connectionCount: 1, count: 4,
                  last: "Use it in a chat" },
                { tag: "signed out", claudeAuth: "signedOut", connectionCount: 2, count: 5, last: "Get started" },
                { tag: "claude unknown", claudeAuth: "unknown", connectionCount: 1, count: 4, last: "Use it in a chat" },
                { tag: "no connection yet", claudeAuth: "signedIn", connectionCount: 0, count: 5, last: "Get started" },
            ];
        }

        // Return moves on and, on the last step ("Done"), closes at once.
        function test_returnWalksToTheEnd(data) {
            const { fake, wizard } = open({ claudeAuthState: data.claudeAuth, connectionCount: data.connectionCount });
            compare(text(wizard, "progress"), "1 of " + data.count);
            compare(text(wizard, "stepTitle"), "Sign in to Claude Code");
            verify(!findChild(wizard, "backButton").visible);
            for (let step = 2; step <= data.count; ++step) {
                keyClick(Qt.Key_Return);
                compare(text(wizard, "progress"), step + " of " + data.count);
            }
            compare(text(wizard, "stepTitle"), data.last);
            compare(findChild(wizard, "forwardButton").text, "Done");
            compare(fake.calls, []);
            keyClick(Qt.Key_Return);
            compare(fake.calls, ["close"]);
            compare(text(wizard, "progress"), data.count + " of " + data.count);
        }

        // Escape leaves it up; Back returns a step; "Done" and a click beside it close it.
        function test_buttonsAndEscape() {
            const { fake, wizard } = open({ connectionCount: 1 });
            keyClick(Qt.Key_Escape);
            compare(fake.calls, []);
            mouseClick(findChild(wizard, "forwardButton"));
            compare(text(wizard, "progress"), "2 of 4");
            verify(findChild(wizard, "backButton").visible);
            mouseClick(findChild(wizard, "backButton"));
            compare(text(wizard, "progress"), "1 of 4");
            goTo(wizard, "Use it in a chat");
            mouseClick(findChild(wizard, "forwardButton"));
            compare(fake.calls, ["close"]);
            mouseClick(wizard, 6, 6);
            compare(fake.calls, ["close", "close"]);
        }

        // The steps stay as chosen while the pages follow the model.
        function test_signingInKeepsTheSteps() {
            const { fake, wizard } = open({ claudeAuthState: "signedOut", connectionCount: 1 });
            compare(text(wizard, "status"), "Not signed in");
            fake.claudeAuthState = "signedIn";
            fake.claudeAuthEmail = "ada@example.com";
            compare(text(wizard, "status"), "Signed in as ada@example.com");
            compare(text(wizard, "progress"), "1 of 5");
            goTo(wizard, "Get started");
            compare(text(wizard, "explanation"), "Add your first project.");
        }

        function test_claudeRows_data() {
            return [
                { tag: "signed in", claudeAuth: "signedIn", email: "", status: "Signed in", button: "", call: "" },
                { tag: "signed in as", claudeAuth: "signedIn", email: "ada@example.com",
                  status: "Signed in as ada@example.com", button: "", call: "" },
                { tag: "signed out", claudeAuth: "signedOut", email: "", status: "Not signed in", button: "Sign in",
                  call: "signInToClaude" },
                { tag: "unknown", claudeAuth: "unknown", email: "", status: "Couldn't check", button: "Check again",
                  call: "recheckClaudeAuth" },
            ];
        }

        function test_claudeRows(data) {
            const { fake, wizard } = open({ claudeAuthState: data.claudeAuth, claudeAuthEmail: data.email });
            verify(findChild(wizard, "statusRow").visible);
            compare(text(wizard, "status"), data.status);
            const button = findChild(wizard, "pageButton");
            compare(button.visible, data.button !== "");
            if (data.button === "")
                return;
            compare(button.text, data.button);
            mouseClick(button);
            compare(fake.calls, [data.call]);
        }

        function test_accountRows_data() {
            return [
                { tag: "nothing remembered", hasProfile: false, session: 1, row: false, status: "",
                  explanation: "Sign in by email. No password, just a code.", button: "Sign in with email",
                  call: "requestAccountSignIn(false)" },
                { tag: "signed in", hasProfile: true, session: 1, row: true, status: "Signed in as ada@example.com",
                  explanation: "Nothing else to do here.", button: "", call: "" },
                { tag: "checking", hasProfile: true, session: 0, row: true,
                  status: "Checking this computer's session",
                  explanation: "Quorvane remembers your account while it verifies cloud access.", button: "",
                  call: "" },
                { tag: "signed out", hasProfile: true, session: 2, row: true, status: "Sign in again on this computer",
                  explanation: "Quorvane remembers your account, but its cloud session is missing.",
                  button: "Sign In Again", call: "requestAccountSignIn(true)" },
                { tag: "reauthentication required", hasProfile: true, session: 3, row: true,
                  status: "Sign in again on this computer",
                  explanation: "Quorvane remembers your account, but its cloud session is missing.",
                  button: "Sign In Again", call: "requestAccountSignIn(true)" },
                { tag: "unavailable", hasProfile: true, session: 4, row: true, status: "Account session unavailable",
                  explanation: "Quorvane couldn't verify cloud access. Your remembered account stays available.",
                  button: "Try Again", call: "startCloudBootstrap" },
            ];
        }

        function test_accountRows(data) {
            const { fake, wizard } = open();
            fake.account.hasProfile = data.hasProfile;
            fake.account.profileEmail = "ada@example.com";
            fake.account.cloudSessionState = data.session;
            goTo(wizard, "Your account");
            compare(findChild(wizard, "statusRow").visible, data.row);
            if (data.row)
                compare(text(wizard, "status"), data.status);
            compare(text(wizard, "explanation"), data.explanation);
            const button = findChild(wizard, "pageButton");
            compare(button.visible, data.button !== "");
            if (data.button === "")
                return;
            compare(button.text, data.button);
            mouseClick(button);
            compare(fake.calls, [data.call]);
        }

        // One Claude sign-in at a time: both "Sign in" buttons wait while it runs.
        function test_signInWaitsWhileOneRuns() {
            const { fake, wizard } = open({ claudeAuthState: "signedOut" });
            const button = findChild(wizard, "pageButton");
            verify(button.enabled);
            mouseClick(button);
            compare(fake.calls, ["signInToClaude"]);
            fake.busy = ["webflow-acme", fake.claudeSignInKey];
            verify(!button.enabled);
            mouseClick(button);
            compare(fake.calls, ["signInToClaude"]);
            goTo(wizard, "Get started");
            compare(text(wizard, "explanation"), "First, sign into Claude.");
            compare(findChild(wizard, "pageButton").text, "Sign in");
            verify(!findChild(wizard, "pageButton").enabled);
            fake.busy = [];
            verify(findChild(wizard, "pageButton").enabled);
        }

        // The introduction goes first, then the add field opens, without the last add's refusal.
        function test_addAProject() {
            const { fake, wizard } = open({ claudeAuthState: "unknown", connectionCount: 0 });
            goTo(wizard, "Get started");
            compare(text(wizard, "explanation"), "Add your first project.");
            mouseClick(findChild(wizard, "pageButton"));
            compare(fake.calls, ["close", "openAddField"]);
            verify(fake.adding.showingAdd);
            compare(fake.adding.addError, "");
        }

        function test_theChatExampleNamesAServer() {
            const { wizard } = open();
            goTo(wizard, "Use it in a chat");
            const bodies = findChild(wizard, "tips");
            compare(bodies.count, 4);
            verify(findChild(bodies.itemAt(0), "tipBody").text.indexOf("\"use webflow-tovalin\"") >= 0);
        }

        // The sheet of a Claude sign-in rises above the introduction; another sheet does not.
        function test_raisesTheClaudeSignInSheet() {
            const { fake, wizard } = open({ claudeAuthState: "signedOut" });
            verify(!wizard.raisesActivity);
            fake.activity.sheet = { subject: fake.claudeSignInKey };
            fake.activity.hasSheet = true;
            verify(wizard.raisesActivity);
            fake.activity.sheet = { subject: "webflow-acme" };
            verify(!wizard.raisesActivity);
        }
    }
}
