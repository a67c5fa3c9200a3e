// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
import QtQuick
import Quorvane.Onboarding
import OnboardingTest

// The About dialog with a release's version and with none, for a person to look at.
Row {
    function advance() {}

    spacing: 8
    padding: 8

    Repeater {
        model: ["1.2.3", ""]

        delegate: Item {
            required property string modelData

            width: 360
            height: 340

            AboutOverlay {
                anchors.fill: parent
                version: parent.modelData
                opener: RecordingLinkOpener {}
            }
        }
    }
}
