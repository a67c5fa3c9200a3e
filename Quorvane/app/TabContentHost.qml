// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
import QtQuick
import Quorvane
import Quorvane.Kit

// The content card: the active tab over the card's background, the tabs cross-fading into each
// other. A press anywhere on it closes an open tab list, and still reaches the control under it.
Item {
    id: host

    required property AppModel model
    required property PanelState panel
    readonly property int fadeDuration: KitEnvironment.reduceMotion ? 0 : 380

    // The shadow around the card, drawn as a ring outside it: the card's fill is translucent, so a
    // shadow under it would darken the card itself.
    Rectangle {
        anchors.fill: parent
        anchors.margins: -2
        radius: 11
        color: "transparent"
        border.width: 2
        border.color: PanelLook.cardShadow(KitEnvironment.scheme)
        opacity: 0.5
    }
    Rectangle {
        objectName: "cardBackground"
        anchors.fill: parent
        radius: 9
        color: PanelLook.cardFill(KitEnvironment.scheme)
    }

    Item {
        id: card
        anchors.fill: parent
        clip: true

        Loader {
            id: connections
            objectName: "connectionsTab"
            anchors.fill: parent
            readonly property bool current: host.panel.showsConnections
            opacity: current ? 1 : 0
            visible: opacity > 0
            active: visible
            Behavior on opacity { NumberAnimation { duration: host.fadeDuration; easing.type: Easing.OutCubic } }
            sourceComponent: ConnectionsTab {
                model: host.model
                panel: host.panel
            }
        }
        Loader {
            objectName: "schedulingTab"
            anchors.fill: parent
            readonly property bool current: host.panel.showsScheduledPublishing
            opacity: current ? 1 : 0
            visible: opacity > 0
            active: visible
            Behavior on opacity { NumberAnimation { duration: host.fadeDuration; easing.type: Easing.OutCubic } }
            sourceComponent: SchedulingTab {
                model: host.model
                panel: host.panel
            }
        }
        Loader {
            objectName: "pageStatusTab"
            anchors.fill: parent
            readonly property bool current: host.panel.showsPageStatus
            opacity: current ? 1 : 0
            visible: opacity > 0
            active: visible
            Behavior on opacity { NumberAnimation { duration: host.fadeDuration; easing.type: Easing.OutCubic } }
            sourceComponent: PageStatusTab {
                model: host.model
                panel: host.panel
            }
        }
    }

    MouseArea {
        objectName: "closesTabList"
        anchors.fill: parent
        enabled: host.panel.showingTabs
        onPressed: (mouse) => {
            host.panel.showingTabs = false;
            mouse.accepted = false;
        }
    }
}
