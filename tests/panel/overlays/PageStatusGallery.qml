// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
import QtQuick
import Quorvane.Kit
import Quorvane.Panel
import PanelTest

// Page Status rows in each of their states beside the explanation page, for a person to look at.
Item {
    id: gallery

    readonly property var model: QtObject {
        readonly property var pageStatus: PanelTest.newPageStatus([
            { siteId: "active", phase: "active", queued: 3, staged: 1, minutesAgo: 5 },
            { siteId: "observing", phase: "observing", queued: 0, staged: 0 },
            { siteId: "paused", phase: "paused", queued: 1234567, staged: 12 },
            { siteId: "authorizing", phase: "authorizing" },
            { siteId: "disabling", phase: "disabling", desired: false },
            { siteId: "revoked", phase: "attention", code: "credential_revoked" },
            { siteId: "revoked-off", phase: "attention", desired: false, code: "credential_revoked" },
            { siteId: "attention", phase: "attention", code: "marker_drift" },
        ])
        readonly property var siteDirectory: PanelTest.siteDirectory()
    }
    readonly property var loadingModel: QtObject {
        readonly property var pageStatus: PanelTest.newPageStatus([], true, false)
        readonly property var siteDirectory: PanelTest.siteDirectory()
    }

    width: 2 * 400 + 3 * 16
    height: 1080

    GlassPanelBackground {
        anchors.fill: parent
    }

    Column {
        x: 16
        y: 16
        width: 400
        spacing: 8

        Repeater {
            model: [
                { title: "Acme Studio", siteId: "active" },
                { title: "Observing site", siteId: "observing" },
                { title: "Paused for publish", siteId: "paused" },
                { title: "Authorizing", siteId: "authorizing" },
                { title: "Disabling", siteId: "disabling" },
                { title: "Access ended", siteId: "revoked" },
                { title: "Access ended, off", siteId: "revoked-off" },
                { title: "Needs attention", siteId: "attention" },
                { title: "A project whose title is far too long to fit on one line <b>x</b>", siteId: "none" },
            ]

            PageStatusProjectCard {
                required property var modelData
                width: 400
                model: gallery.model
                title: modelData.title
                siteId: modelData.siteId
            }
        }
        PageStatusProjectCard {
            width: 400
            model: gallery.loadingModel
            title: "Checking before the first load"
        }
    }

    PageStatusInfoView {
        x: 16 + 400 + 16
        y: 6
        width: 400
        enableNewProjectsByDefault: false
    }
}
