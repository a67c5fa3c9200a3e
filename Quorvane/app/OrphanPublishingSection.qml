// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
pragma ComponentBehavior: Bound
import QtQuick
import Quorvane
import QtQuick.Layouts
import Quorvane.Kit
import Quorvane.Panel

// The sites whose publishing access no project card claims, each with Assign and Revoke (or
// Retry Cleanup while a revocation is still being cleaned up).
Item {
    id: section

    required property ProjectListState list

    implicitWidth: 360
    implicitHeight: column.implicitHeight + 24

    Rectangle {
        anchors.fill: parent
        radius: 12
        color: Qt.rgba(0, 0, 0, 0.08)
    }
    GlassRim {
        anchors.fill: parent
        radius: 12
        intensity: 0.5
    }

    ColumnLayout {
        id: column
        x: 12
        y: 12
        width: section.width - 24
        spacing: 8

        KitText {
            text: "Publishing access without a project"
            size: 15
            weight: Font.Medium
        }
        KitText {
            Layout.fillWidth: true
            text: "These sites have publishing access granted but no project card. Assign one, or revoke the access."
            size: 10.5
            wrapMode: Text.Wrap
            color: KitPalette.secondaryLabel(KitEnvironment.scheme)
        }

        Repeater {
            model: section.list.orphans

            RowLayout {
                id: row
                objectName: "orphan-" + siteId
                required property string siteId
                required property string name
                required property bool pending
                required property bool assignable

                Layout.fillWidth: true
                spacing: 8

                MicroIcon {
                    symbol: "web"
                    size: 12.65
                    color: KitPalette.tertiaryLabel(KitEnvironment.scheme)
                }
                KitText {
                    objectName: "orphanName"
                    Layout.fillWidth: true
                    text: row.name
                    size: 11
                    weight: Font.Medium
                    elide: Text.ElideMiddle
                }
                PillButton {
                    id: assign
                    objectName: "assign"
                    text: "Assign…"
                    enabled: row.assignable
                    onClicked: {
                        const items = section.list.assignMenu(row.siteId)
                        menu.show(items.map(item => ({
                            title: item.title,
                            enabled: item.enabled,
                            action: () => section.list.assignSite(item.projectId, row.siteId)
                        })))
                    }
                    RightAlignedMenuHost {
                        id: menu
                        anchors.fill: parent
                    }
                }
                PillButton {
                    objectName: "revoke"
                    text: row.pending ? "Retry Cleanup" : "Revoke"
                    onClicked: section.list.confirmRevoke(row.siteId)
                }
            }
        }
    }
}
