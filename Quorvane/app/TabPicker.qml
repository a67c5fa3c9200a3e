// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
import QtQuick
import Quorvane
import Quorvane.Kit

// The list of tabs under the header, behind the content card. It is wiped open from the top while
// the card slides down by `pickerHeight`, and wiped shut again; closed, it takes no clicks.
Item {
    id: picker

    required property AppModel model
    required property PanelState panel
    // The list's full height, measured also while it is closed so the first opening knows how far
    // the card slides.
    readonly property real pickerHeight: rows.implicitHeight + 8 + 22
    readonly property int slideDuration: KitEnvironment.reduceMotion ? 0 : 380

    implicitHeight: pickerHeight
    enabled: panel.showingTabs

    // The mask: the part of the list that shows.
    Item {
        id: mask
        objectName: "pickerMask"
        width: parent.width
        height: picker.panel.showingTabs ? picker.pickerHeight : 0
        clip: true
        Behavior on height { NumberAnimation { duration: picker.slideDuration; easing.type: Easing.OutCubic } }

        Column {
            id: rows
            anchors.right: parent.right
            anchors.rightMargin: 21
            y: 8
            spacing: 2

            Repeater {
                model: picker.panel.pickerTabs

                delegate: Item {
                    id: row

                    required property var modelData
                    readonly property bool isActive: picker.panel.activeTab === modelData.tab
                    readonly property color tint: PanelLook.tabRow(KitEnvironment.scheme, isActive, rowArea.containsMouse)

                    objectName: "pickerRow" + modelData.position
                    anchors.right: parent.right
                    width: rowContent.width
                    height: rowContent.height + 10
                    Accessible.role: Accessible.Button
                    Accessible.name: modelData.title

                    Row {
                        id: rowContent
                        anchors.verticalCenter: parent.verticalCenter
                        spacing: 8

                        Rectangle {
                            anchors.verticalCenter: parent.verticalCenter
                            width: hint.implicitWidth + 8
                            height: hint.implicitHeight + 3
                            radius: height / 2
                            color: PanelLook.keyHintFill(KitEnvironment.scheme)
                            opacity: 0.85

                            KitText {
                                id: hint
                                anchors.centerIn: parent
                                text: "Ctrl+" + (row.modelData.position + 1)
                                size: 9.5
                                weight: Font.Medium
                                color: row.tint
                            }
                        }
                        KitText {
                            objectName: "title"
                            anchors.verticalCenter: parent.verticalCenter
                            text: row.modelData.title
                            size: 22
                            color: row.tint
                        }
                    }

                    MouseArea {
                        id: rowArea
                        anchors.fill: parent
                        hoverEnabled: true
                        onClicked: picker.panel.choosePickerRow(row.modelData.position)
                    }
                }
            }
        }
    }
}
