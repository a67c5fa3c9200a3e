// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
import QtQuick
import QtQuick.Templates as T
import Quorvane.Kit

// Content on a framed glass card: a faint dark fill with a half-strength rim, corner radius 12.
T.Pane {
    id: card

    implicitWidth: contentWidth + leftPadding + rightPadding
    implicitHeight: contentHeight + topPadding + bottomPadding
    padding: 0

    background: Item {
        Rectangle {
            anchors.fill: parent
            radius: 12
            color: Qt.rgba(0, 0, 0, 0.08)
        }
        GlassRim {
            anchors.fill: parent
            radius: 12
            intensity: 0.5
            scheme: KitEnvironment.scheme
        }
    }
}
