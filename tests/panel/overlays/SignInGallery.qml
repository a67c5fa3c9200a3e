// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
import QtQuick
import Quorvane.Kit
import Quorvane.Panel

// Each step of the sign-in overlay, one account per step, for a person to look at.
Item {
    id: gallery

    // The accounts, in the phases of the steps shown left to right.
    required property var accounts

    width: 4 * 420
    height: 440

    GlassPanelBackground {
        anchors.fill: parent
    }

    Row {
        Repeater {
            model: gallery.accounts

            Item {
                id: cell
                required property var modelData
                required property int index
                width: 420
                height: gallery.height

                SignInOverlay {
                    anchors.fill: parent
                    request: ({ reason: "Sign in to schedule publishes that fire from the cloud, even when this computer is off.",
                                suggestedEmail: "ada@example.com" })
                    account: cell.modelData
                    Component.onCompleted: if (cell.index === 1) flow.code = "4821"
                }
            }
        }
    }
}
