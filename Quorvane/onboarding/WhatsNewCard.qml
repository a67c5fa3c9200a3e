// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
import QtQuick
import Quorvane.Kit
import Quorvane.Onboarding

// The card at the top of the Connections column that tells what changed in the version just
// installed. It shows what it is given and keeps no state: its dismiss button only asks the
// owner, who clears the lines and so removes the card.
Item {
    id: card

    // The note lines of the running version, in order.
    property var lines: []
    // The version the title names.
    property string version
    // The look: feature releases get the major style with its wash, stars and turning rim.
    property int style: WhatsNewCardStyle.styleFor(version)

    readonly property bool major: style === WhatsNewCardStyle.Major
    readonly property string headline: WhatsNewCardStyle.headline(version)
    readonly property var notes: WhatsNewCardStyle.notes(lines, version)
    readonly property var wash: WhatsNewCardStyle.wash(KitEnvironment.scheme)
    readonly property color strongText: WhatsNewCardStyle.strongText(style, KitEnvironment.scheme)
    readonly property real textInset: 13.75 + 8

    // The dismiss button was pressed.
    signal dismiss()

    implicitWidth: 320
    implicitHeight: column.height + 22
    Accessible.role: Accessible.Grouping
    Accessible.name: title.text

    Rectangle {
        anchors.fill: parent
        radius: 12
        color: WhatsNewCardStyle.background(KitEnvironment.scheme)
    }

    Column {
        id: column
        x: 12
        y: 11
        width: card.width - 24
        spacing: 6

        Item {
            width: parent.width
            height: Math.max(sparkles.height, title.implicitHeight, close.height)

            MicroIcon {
                id: sparkles
                anchors.verticalCenter: parent.verticalCenter
                symbol: "sparkles"
                size: 13.75
                color: KitPalette.brand(KitEnvironment.scheme)
            }
            Text {
                id: title
                objectName: "title"
                x: card.textInset
                width: close.x - 8 - x
                anchors.verticalCenter: parent.verticalCenter
                text: qsTr("What's new in %1").arg(card.version)
                textFormat: Text.PlainText
                font.pixelSize: WhatsNewCardStyle.titleSize(card.style)
                font.weight: Font.DemiBold
                color: card.strongText
            }
            QuietCloseButton {
                id: close
                objectName: "dismiss"
                anchors.right: parent.right
                anchors.verticalCenter: parent.verticalCenter
                help: qsTr("Dismiss")
                onClicked: card.dismiss()
            }
        }

        Text {
            objectName: "headline"
            width: parent.width
            visible: card.headline !== ""
            leftPadding: card.textInset
            topPadding: 2
            text: card.headline
            textFormat: Text.PlainText
            font.pixelSize: 13
            font.weight: Font.Bold
            color: card.strongText
            wrapMode: Text.Wrap
        }

        Column {
            x: card.textInset
            width: parent.width - x

            Repeater {
                model: card.notes

                Column {
                    id: note
                    objectName: "note"
                    required property var modelData
                    required property int index
                    readonly property bool hasSymbol: modelData.symbol !== ""
                    width: parent.width

                    // Rules stand only between notes.
                    Rectangle {
                        objectName: "rule"
                        width: parent.width
                        height: 1
                        visible: note.index > 0
                        color: WhatsNewCardStyle.rule(KitEnvironment.scheme)
                    }
                    Item {
                        width: parent.width
                        height: noteText.height + 13

                        MicroIcon {
                            objectName: "noteIcon"
                            visible: note.hasSymbol
                            x: (14 - size) / 2
                            y: 6.5 + 1.5
                            symbol: note.modelData.symbol
                            size: 12.075
                            color: KitPalette.brand(KitEnvironment.scheme)
                        }
                        Text {
                            id: noteText
                            objectName: "noteText"
                            // A note without an icon has no slot: its text starts at the edge.
                            x: note.hasSymbol ? 14 + 8 : 0
                            y: 6.5
                            width: parent.width - x
                            text: note.modelData.text
                            textFormat: Text.PlainText
                            font.pixelSize: 11
                            color: WhatsNewCardStyle.noteText(card.style, KitEnvironment.scheme)
                            wrapMode: Text.Wrap
                        }
                    }
                }
            }
        }
    }

    // The feature style's wash, stars and rim lie over the content and let clicks through.
    Rectangle {
        anchors.fill: parent
        radius: 12
        visible: card.major
        gradient: Gradient {
            GradientStop { position: card.wash[0].position; color: card.wash[0].color }
            GradientStop { position: card.wash[1].position; color: card.wash[1].color }
            GradientStop { position: card.wash[2].position; color: card.wash[2].color }
        }
    }
    WhatsNewStars {
        objectName: "stars"
        anchors.fill: parent
        visible: card.major
        scheme: KitEnvironment.scheme
        reduceMotion: KitEnvironment.reduceMotion
    }
    WhatsNewRim {
        objectName: "turningRim"
        anchors.fill: parent
        visible: card.major
        radius: 12
        scheme: KitEnvironment.scheme
        reduceMotion: KitEnvironment.reduceMotion
    }
    GlassRim {
        anchors.fill: parent
        visible: !card.major
        radius: 12
        intensity: 0.5
        scheme: KitEnvironment.scheme
    }
}
