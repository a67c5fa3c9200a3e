// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
import QtQuick
import QtTest
import Quorvane.Kit
import Quorvane.Panel
import PanelTest

// The activity overlay over the fixture's clock: its buttons as time passes and the outcome
// changes, its keys, and its log.
Item {
    id: harness
    width: 480
    height: 520

    property var requests: []

    Component {
        id: overlayComponent
        ActivityOverlay {
            anchors.fill: parent
            onCancelRequested: harness.requests.push("cancel")
            onRetryRequested: harness.requests.push("retry")
            onReportRequested: harness.requests.push("report")
            onCloseRequested: harness.requests.push("close")
        }
    }

    TestCase {
        name: "ActivityOverlay"
        when: windowShown

        function init() {
            harness.requests = [];
        }

        function sheet(outcome, log) {
            return { id: "sheet-1", title: "Authorizing webflow-acme", startedAt: PanelTest.now(),
                     note: "Approve the connection in your browser.", log: log || "", outcome: outcome };
        }

        function show(properties) {
            const overlay = createTemporaryObject(overlayComponent, harness, properties);
            verify(overlay);
            return overlay;
        }

        // Moves the clock and lets the overlay's ticking notice.
        function pass(overlay, milliseconds) {
            PanelTest.advance(milliseconds);
            findChild(overlay, "ticker").triggered();
        }

        function test_actionsAppearAtFourSeconds() {
            const overlay = show({ sheet: sheet(ActivityOverlayState.Running), canCancel: true, canRetry: true });
            const first = findChild(overlay, "firstButton");
            const retry = findChild(overlay, "retryButton");
            pass(overlay, 3900);
            compare(first.text, "Cancel and Close");
            verify(!retry.visible);
            keyClick(Qt.Key_Escape);
            compare(harness.requests, ["close"]);

            pass(overlay, 100);
            compare(first.text, "Cancel run");
            compare(first.variant, DialogStyle.Destructive);
            verify(retry.visible);
            keyClick(Qt.Key_Escape);
            mouseClick(retry);
            compare(harness.requests, ["close", "cancel", "retry"]);
            // No button answers Return while the activity runs.
            keyClick(Qt.Key_Return);
            compare(harness.requests.length, 3);
        }

        function test_browserHint_data() {
            return [
                { tag: "with retry", canRetry: true, hint: true },
                { tag: "without retry", canRetry: false, hint: false },
            ];
        }

        function test_browserHint(data) {
            const overlay = show({ sheet: sheet(ActivityOverlayState.Running), canCancel: true, canRetry: data.canRetry });
            const explanation = findChild(overlay, "explanation");
            pass(overlay, 24900);
            compare(explanation.text, "Approve the connection in your browser.");
            pass(overlay, 100);
            compare(explanation.text.startsWith("Still waiting on the browser."), data.hint);
        }

        // Once the activity has ended the explanation and retry go, the first button answers
        // Return and Escape does nothing.
        function test_endedActivity_data() {
            return [
                { tag: "success", outcome: ActivityOverlayState.Success, label: "Done", report: false },
                { tag: "warning", outcome: ActivityOverlayState.Warning, label: "Done", report: false },
                { tag: "failure", outcome: ActivityOverlayState.Failure, label: "Close", report: true },
            ];
        }

        function test_endedActivity(data) {
            const overlay = show({ sheet: sheet(ActivityOverlayState.Running), canCancel: true, canRetry: true, canReport: true });
            pass(overlay, 30000);
            verify(findChild(overlay, "retryButton").visible);
            overlay.sheet = sheet(data.outcome, "✕ The browser window closed.");
            verify(!findChild(overlay, "explanation").parent.visible);
            verify(!findChild(overlay, "retryButton").visible);
            compare(findChild(overlay, "firstButton").text, data.label);
            const report = findChild(overlay, "reportButton");
            compare(report.visible, data.report);
            keyClick(Qt.Key_Escape);
            compare(harness.requests, []);
            keyClick(Qt.Key_Return);
            compare(harness.requests, ["close"]);
            if (data.report) {
                compare(report.text, "Report to Developer");
                mouseClick(report);
                compare(harness.requests, ["close", "report"]);
            }
        }

        // The application model's own sheet record drives the overlay as well.
        function test_modelSheet() {
            const overlay = show({ sheet: PanelTest.activitySheet("Checking webflow-acme", ActivityOverlayState.Running, ""),
                                   canCancel: true });
            compare(findChild(overlay, "title").text, "Checking webflow-acme");
            compare(findChild(overlay, "explanation").text, "Approve the connection in your browser.");
            pass(overlay, 4000);
            compare(findChild(overlay, "firstButton").text, "Cancel run");
            overlay.sheet = PanelTest.activitySheet("Checking webflow-acme", ActivityOverlayState.Warning, "⚠ Two sites");
            compare(findChild(overlay, "firstButton").text, "Done");
            compare(findChild(overlay, "logText").text, "⚠ Two sites");
        }

        // The log area shows from the first character on and follows the end as lines arrive.
        function test_logFollowsItsEnd() {
            const overlay = show({ sheet: sheet(ActivityOverlayState.Running) });
            const log = findChild(overlay, "log");
            verify(!log.parent.visible);
            let text = "↻ Opening the browser";
            overlay.sheet = sheet(ActivityOverlayState.Running, text);
            verify(log.parent.visible);
            compare(log.contentY, 0);
            for (let line = 0; line < 40; ++line)
                text += "\nwaiting for consent " + line;
            overlay.sheet = sheet(ActivityOverlayState.Running, text);
            compare(log.height, 200);
            tryCompare(log, "contentY", log.contentHeight - log.height);
            compare(findChild(overlay, "logText").textFormat, TextEdit.PlainText);
        }
    }
}
