// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
import QtQuick
import Quorvane.Onboarding

// Every page of the introduction in each of its states, side by side, for a person to look at.
Grid {
    id: gallery

    // name, the stand-in model's settings, how many steps forward from the first
    readonly property var scenes: [
        { claudeAuth: "signedIn", claudeAuthEmail: "ada@example.com", steps: 0 },
        { claudeAuth: "signedOut", steps: 0 },
        { claudeAuth: "signedOut", running: true, steps: 0 },
        { claudeAuth: "unknown", steps: 0 },
        { hasProfile: false, session: 1, steps: 1 },
        { hasProfile: true, session: 1, steps: 1 },
        { hasProfile: true, session: 0, steps: 1 },
        { hasProfile: true, session: 3, steps: 1 },
        { hasProfile: true, session: 4, steps: 1 },
        { steps: 2 },
        { steps: 3 },
        { claudeAuth: "signedOut", steps: 4 },
        { claudeAuth: "signedIn", connectionCount: 0, steps: 4 },
    ]

    // Moves each introduction to the step its scene shows.
    function advance() {
        for (let i = 0; i < cells.count; ++i)
            cells.itemAt(i).advance();
    }

    columns: 4
    spacing: 8
    padding: 8

    Repeater {
        id: cells
        model: gallery.scenes

        delegate: Item {
            id: cell

            required property var modelData

            function advance() {
                for (let i = 0; i < modelData.steps; ++i)
                    wizard.wizardState.goNext();
            }

            width: 380
            height: 440

            FakeModel {
                id: fake
                claudeAuthState: cell.modelData.claudeAuth !== undefined ? cell.modelData.claudeAuth : "signedIn"
                claudeAuthEmail: cell.modelData.claudeAuthEmail !== undefined ? cell.modelData.claudeAuthEmail : ""
                connectionCount: cell.modelData.connectionCount !== undefined ? cell.modelData.connectionCount : 1
                busy: cell.modelData.running ? [claudeSignInKey] : []
                Component.onCompleted: {
                    account.hasProfile = cell.modelData.hasProfile === true;
                    account.profileEmail = "ada@example.com";
                    account.cloudSessionState = cell.modelData.session !== undefined ? cell.modelData.session : 2;
                }
            }

            IntroWizard {
                id: wizard
                anchors.fill: parent
                model: fake
            }
        }
    }
}
