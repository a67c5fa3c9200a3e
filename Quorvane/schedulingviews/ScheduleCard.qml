// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
import QtQuick
import QtQuick.Controls
import Quorvane.Kit

// One queued publish: its site with the trash button and the settings menu, a notice while the
// cloud runs it, a warning when publishing access is missing, and its details. Every action goes
// back to the screen through a signal.
GlassCard {
    id: card

    required property string scheduleID
    required property string siteName
    required property string timeText
    required property string zoneLabel
    required property var domains
    required property bool skipIfChanged
    required property bool running
    required property bool controlsEnabled
    required property string trashHelp
    required property string menuHelp
    required property bool needsPublishing

    signal cancelRequested()
    signal rescheduleRequested()
    signal publishNowRequested()
    signal connectRequested()

    padding: 12

    Column {
        width: card.availableWidth
        spacing: 8

        Row {
            width: parent.width
            spacing: 6

            Text {
                id: name
                width: parent.width - trash.width - gear.width - 2 * parent.spacing - 2.5
                x: 2.5
                anchors.verticalCenter: parent.verticalCenter
                anchors.verticalCenterOffset: -1
                leftPadding: 2.5
                text: card.siteName
                textFormat: Text.PlainText
                font.pixelSize: 15
                font.weight: Font.Medium
                elide: Text.ElideRight
                color: KitPalette.primaryLabel(KitEnvironment.scheme)
                ToolTip.text: card.siteName
                ToolTip.visible: nameHover.hovered && name.truncated
                HoverHandler { id: nameHover }
            }
            CircleIconButton {
                id: trash
                objectName: "trashButton"
                symbol: "trash"
                symbolSize: 13.125
                quiet: true
                enabled: card.controlsEnabled
                Accessible.name: "Cancel the publish for " + card.siteName
                ToolTip.text: card.trashHelp
                ToolTip.visible: hovering
                onClicked: card.cancelRequested()
            }
            CircleIconButton {
                id: gear
                objectName: "settingsMenuButton"
                symbol: "gearshape"
                quiet: true
                enabled: card.controlsEnabled
                Accessible.name: "Settings for the publish of " + card.siteName
                ToolTip.text: card.menuHelp
                ToolTip.visible: hovering
                onClicked: menu.popup(gear, gear.width - menu.width, gear.height + 4)

                Menu {
                    id: menu
                    MenuItem { text: "Reschedule Publish…"; onTriggered: card.rescheduleRequested() }
                    MenuItem { text: "Publish Now…"; onTriggered: card.publishNowRequested() }
                    MenuSeparator {}
                    MenuItem { text: "Cancel Publish"; onTriggered: card.cancelRequested() }
                }
            }
        }

        Row {
            visible: card.running
            width: parent.width
            spacing: 6
            Accessible.role: Accessible.StaticText
            Accessible.name: runningText.text

            Spinner { anchors.verticalCenter: parent.verticalCenter; size: 10 }
            KitText {
                id: runningText
                width: parent.width - 16
                anchors.verticalCenter: parent.verticalCenter
                text: "Publishing now. Controls unlock when the cloud reports the outcome."
                wrapMode: Text.Wrap
                size: 10.5
                color: KitPalette.secondaryLabel(KitEnvironment.scheme)
            }
        }

        AbstractButton {
            objectName: "missingAccessWarning"
            visible: card.needsPublishing
            width: parent.width
            implicitHeight: warningRow.implicitHeight
            hoverEnabled: true
            Accessible.name: warningText.text
            onClicked: card.connectRequested()
            HoverHandler { cursorShape: Qt.PointingHandCursor }

            contentItem: Row {
                id: warningRow
                spacing: 6
                MicroIcon {
                    symbol: "exclamationmark.triangle.fill"
                    size: 13.125
                    color: KitPalette.systemOrange(KitEnvironment.scheme)
                }
                KitText {
                    id: warningText
                    width: warningRow.width - 20
                    text: "Publishing access isn't connected for this site, so this publish will fail. Connect publishing."
                    wrapMode: Text.Wrap
                    size: 10.5
                    color: KitPalette.secondaryLabel(KitEnvironment.scheme)
                }
            }
        }

        Column {
            width: parent.width
            spacing: 4

            DetailRow { width: parent.width; symbol: "calendar"; text: card.timeText }
            DetailRow { width: parent.width; symbol: "clock"; text: card.zoneLabel }
            Repeater {
                model: card.domains
                DetailRow {
                    required property string modelData
                    width: parent.width
                    symbol: "web"
                    text: modelData
                }
            }
            DetailRow {
                visible: card.skipIfChanged
                width: parent.width
                symbol: "shield.checkered"
                text: "Paranoid mode: skips if the site changes first"
            }
        }
    }
}
