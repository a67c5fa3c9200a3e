// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Quorvane.Kit
import Quorvane.Panel

// A registry entry the application sees but does not manage: its name, where it points, why it is
// not managed and, where removal is possible, a trash button that asks the panel to remove it.
Item {
    id: card

    // The entry as ~/.claude.json holds it; an empty url, transport or folder stands for none.
    required property string name
    property string url
    property string transport
    // The reason's raw text ("projectScoped").
    required property string reason
    property string folder
    // The model works on the entry.
    property bool isBusy: false

    signal requestRemove()

    readonly property var face: UnrecognizedCardRules.face(name, url, transport, reason, folder)
    readonly property color accent: UnrecognizedCardRules.accent(face.ownedElsewhere, KitEnvironment.scheme)

    implicitWidth: 340
    implicitHeight: rows.implicitHeight + 24
    opacity: isBusy ? 0.65 : 1

    Rectangle {
        anchors.fill: parent
        radius: 12
        color: Qt.alpha(card.accent, 0.1)
    }
    GlassRim {
        anchors.fill: parent
        radius: 12
        intensity: 0.5
        scheme: KitEnvironment.scheme
    }

    ColumnLayout {
        id: rows
        x: 12
        y: 12
        width: card.width - 24
        spacing: 7

        RowLayout {
            Layout.fillWidth: true
            spacing: 8

            KitText {
                objectName: "displayName"
                Layout.fillWidth: true
                Layout.alignment: Qt.AlignBaseline
                text: card.face.displayName
                family: "monospace"
                size: 12.5
                elide: Text.ElideMiddle
            }
            Rectangle {
                objectName: "badge"
                Layout.alignment: Qt.AlignBaseline
                baselineOffset: badgeRow.y + badgeText.baselineOffset
                implicitWidth: badgeRow.implicitWidth + 16
                implicitHeight: badgeRow.implicitHeight + 7
                radius: height / 2
                color: Qt.alpha(card.accent, 0.14)

                Row {
                    id: badgeRow
                    anchors.centerIn: parent
                    spacing: 4
                    MicroIcon {
                        anchors.verticalCenter: parent.verticalCenter
                        symbol: card.face.badgeIcon
                        size: 9.5
                        color: card.accent
                    }
                    KitText {
                        id: badgeText
                        anchors.verticalCenter: parent.verticalCenter
                        text: card.face.badgeText
                        size: 10
                        weight: Font.DemiBold
                        color: card.accent
                    }
                }
            }
        }

        KitText {
            objectName: "endpoint"
            Layout.fillWidth: true
            text: card.face.endpoint
            family: "monospace"
            size: 10.5
            color: KitPalette.secondaryLabel(KitEnvironment.scheme)
            wrapMode: Text.WrapAnywhere
            maximumLineCount: 2
            elide: Text.ElideRight
        }

        KitText {
            objectName: "reasonText"
            Layout.fillWidth: true
            text: card.face.reasonText
            size: 10.5
            color: KitPalette.secondaryLabel(KitEnvironment.scheme)
            wrapMode: Text.Wrap
        }

        RowLayout {
            Layout.fillWidth: true
            Layout.minimumHeight: 27
            spacing: 6

            KitText {
                objectName: "footnote"
                Layout.fillWidth: true
                text: card.face.footnote
                size: 10.5
                color: KitPalette.tertiaryLabel(KitEnvironment.scheme)
                wrapMode: Text.Wrap
            }
            CircleIconButton {
                objectName: "trash"
                visible: card.face.showsTrash
                enabled: !card.isBusy
                symbol: "trash"
                symbolSize: 10.5
                Accessible.name: card.face.trashAccessibilityLabel
                ToolTip.visible: hovering
                ToolTip.text: "Remove from ~/.claude.json"
                ToolTip.delay: 500
                onClicked: card.requestRemove()
            }
        }
    }
}
