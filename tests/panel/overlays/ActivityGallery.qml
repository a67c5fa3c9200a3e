// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
import QtQuick
import Quorvane.Kit
import Quorvane.Panel
import PanelTest

// The activity overlay running (past four seconds), finished and failed, for a person to look at.
Item {
    id: gallery

    readonly property var started: new Date(PanelTest.now().getTime() - 6000)
    readonly property string log: "↻ Starting claude mcp login webflow-acme\nOpening https://webflow.com/oauth/authorize?client_id=…\nWaiting for consent in the browser…"

    width: 3 * 440
    height: 460

    GlassPanelBackground {
        anchors.fill: parent
    }

    Row {
        Repeater {
            model: [
                { id: "a", title: "Authorizing webflow-acme", outcome: ActivityOverlayState.Running, log: gallery.log },
                { id: "b", title: "Checking webflow-acme", outcome: ActivityOverlayState.Success,
                  log: gallery.log + "\n✓ This connection reaches one site: Acme Studio." },
                { id: "c", title: "Connecting publishing for <b>Acme</b>", outcome: ActivityOverlayState.Failure,
                  log: gallery.log + "\n✕ The browser window was closed before consent." },
            ]

            Item {
                required property var modelData
                width: 440
                height: gallery.height

                ActivityOverlay {
                    anchors.fill: parent
                    sheet: ({ id: parent.modelData.id, title: parent.modelData.title, startedAt: gallery.started,
                              note: "Approve the connection in your browser.", log: parent.modelData.log,
                              outcome: parent.modelData.outcome })
                    canCancel: parent.modelData.outcome === ActivityOverlayState.Running
                    canRetry: parent.modelData.outcome === ActivityOverlayState.Running
                    canReport: true
                }
            }
        }
    }
}
