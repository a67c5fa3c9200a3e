// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
import QtQuick
import QtQuick.Controls
import QtQuick.Templates as T
import Quorvane.Kit
import Quorvane.Panel

// The Webflow logo of a project: opens the site in the Webflow Designer, or asks to verify,
// connect or reconnect the project first.
T.AbstractButton {
    id: button

    // The application model (or a stand-in with its property names).
    required property QtObject appModel
    required property string projectId
    required property ProjectActions actions
    required property Desktop desktop

    hoverEnabled: true
    padding: 0
    implicitWidth: 23
    implicitHeight: 27
    Accessible.role: Accessible.Button
    Accessible.name: link.accessibilityLabel
    Accessible.description: link.accessibilityHint
    Accessible.onPressAction: link.press()
    ToolTip.visible: hovered
    ToolTip.text: link.help
    ToolTip.delay: 500

    WebflowLink {
        id: link
        appModel: button.appModel
        projectId: button.projectId
        actions: button.actions
        desktop: button.desktop
    }

    contentItem: Item {
        MicroIcon {
            anchors.centerIn: parent
            symbol: "webflow-logo"
            size: 13.75
            color: KitPalette.ink(KitEnvironment.scheme)
            opacity: button.hovered ? 0.95 : 0.55

            Behavior on opacity { NumberAnimation { duration: 120; easing.type: Easing.OutQuad } }
        }
    }

    HoverHandler { cursorShape: Qt.PointingHandCursor }

    onClicked: link.press()
}
