// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
import QtQuick
import QtQuick.Controls
import Quorvane
import Quorvane.Kit

// The row at the top of the panel: the mark and the name (with the production-data badge in a
// build that works on production data), the view switch that opens the tab list, and the More menu.
Item {
    id: header

    required property AppModel model
    required property PanelState panel

    implicitHeight: 11 + Math.max(title.height, actions.height) + 9

    Row {
        id: title
        anchors.left: parent.left
        anchors.leftMargin: 21
        anchors.verticalCenter: parent.verticalCenter
        anchors.verticalCenterOffset: 1
        spacing: 7

        AppMark {
            objectName: "appMark"
            anchors.verticalCenter: parent.verticalCenter
            size: 15
        }

        KitText {
            anchors.verticalCenter: parent.verticalCenter
            text: "Quorvane"
            size: 15
            weight: Font.DemiBold
            color: KitPalette.primaryLabel(KitEnvironment.scheme)
        }

        Rectangle {
            objectName: "prodBadge"
            visible: header.panel.backendIsProdTest
            anchors.verticalCenter: parent.verticalCenter
            width: badgeText.implicitWidth + 10
            height: badgeText.implicitHeight + 6
            radius: height / 2
            color: PanelLook.prodBadgeFill(KitEnvironment.scheme)

            KitText {
                id: badgeText
                anchors.centerIn: parent
                text: "PROD DATA"
                size: 8
                weight: Font.Bold
                color: PanelLook.prodBadgeText(KitEnvironment.scheme)
            }
        }
    }

    Row {
        id: actions
        anchors.right: parent.right
        anchors.rightMargin: 21
        anchors.verticalCenter: parent.verticalCenter
        anchors.verticalCenterOffset: 1
        spacing: 8

        // The whole 27-point frame answers, so a click beside the title counts too.
        Item {
            id: viewSwitch
            objectName: "viewSwitch"
            width: switchLabel.width
            height: 27
            anchors.verticalCenter: parent.verticalCenter
            Accessible.role: Accessible.Button
            Accessible.name: header.panel.activeTitle

            Row {
                id: switchLabel
                anchors.verticalCenter: parent.verticalCenter
                spacing: 5

                KitText {
                    objectName: "viewTitle"
                    anchors.verticalCenter: parent.verticalCenter
                    text: header.panel.activeTitle
                    size: 11
                    weight: Font.Medium
                }
                MorphingChevron {
                    objectName: "chevron"
                    width: 7.5
                    height: 4.5
                    anchors.verticalCenter: parent.verticalCenter
                    anchors.verticalCenterOffset: 0.5
                    lineWidth: 1.4
                    color: KitPalette.ink(KitEnvironment.scheme)
                    bend: header.panel.showingTabs ? -1 : 1
                    Behavior on bend {
                        enabled: !KitEnvironment.reduceMotion
                        NumberAnimation { duration: 380; easing.type: Easing.OutCubic }
                    }
                }
            }

            MouseArea {
                id: switchArea
                anchors.fill: parent
                hoverEnabled: true
                onClicked: header.panel.showingTabs = !header.panel.showingTabs
            }
            ToolTip.visible: switchArea.containsMouse
            ToolTip.delay: 800
            ToolTip.text: "Switch view"
        }

        MoreMenu {
            objectName: "moreMenu"
            anchors.verticalCenter: parent.verticalCenter
            model: header.model
            panel: header.panel
        }
    }
}
