// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
import QtQuick
import Quorvane.Kit
import Quorvane.Onboarding

// The what's-new card in its styles, for a person to look at: the Page Status and Scheduled
// Publishing feature releases, an ordinary release, and a release with no lines.
Item {
    id: gallery

    property var pageStatusLines: []
    property var scheduledLines: []
    property var ordinaryLines: []

    width: 2 * 360 + 3 * 16
    height: Math.max(left.height, right.height) + 32

    GlassPanelBackground {
        anchors.fill: parent
    }

    Column {
        id: left
        x: 16
        y: 16
        width: 360
        spacing: 16

        WhatsNewCard {
            width: parent.width
            version: "0.4.0"
            lines: gallery.pageStatusLines
        }
        WhatsNewCard {
            width: parent.width
            version: "0.2.25"
            lines: gallery.ordinaryLines
        }
        WhatsNewCard {
            width: parent.width
            version: "0.2.6"
            lines: []
        }
    }

    Column {
        id: right
        x: 16 + 360 + 16
        y: 16
        width: 360
        spacing: 16

        WhatsNewCard {
            width: parent.width
            version: "0.3.1"
            lines: gallery.scheduledLines
        }
    }
}
