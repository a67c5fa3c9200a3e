// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
import QtQuick
import Quorvane.Kit

// The panel's compact full-width card: an icon, a heading, an optional detail, an optional
// trailing slot (usually a card link), an optional footer and an optional chevron. An actionable
// card is one button with a hover wash.
Item {
    id: card

    property string symbol
    property string heading
    // Shown under the heading when not empty.
    property string detail
    property int tone: SmallCardStyle.Neutral
    property int emphasis: SmallCardStyle.Standard
    property bool chevron: false
    property bool prominentIcon: false
    // Whether the card is a button; a click then emits `activated`.
    property bool actionable: false
    // Content of the trailing slot and of the footer; null: none.
    property Component trailing: null
    property Component footer: null
    signal activated()

    readonly property bool hasTrailing: trailing !== null
    readonly property bool hasFooter: footer !== null
    readonly property bool hasDetail: detail !== ""
    readonly property bool hovering: pointer.containsMouse
    readonly property real iconSize: SmallCardStyle.iconSize(emphasis)
    readonly property bool alignsTop: SmallCardStyle.alignsTop(hasDetail, emphasis)
    readonly property real trailingWidth: trailingSlot.item ? trailingSlot.item.implicitWidth + 10 : 0
    readonly property real columnWidth: Math.max(0, width - 12 - SmallCardStyle.spacerMinimum(hasTrailing)
                                                 - trailingWidth - SmallCardStyle.trailingInset(chevron, hasTrailing))

    implicitWidth: 320
    implicitHeight: Math.max(column.height + 22, trailingSlot.item ? trailingSlot.item.implicitHeight + 10 : 0)
    Accessible.role: actionable ? Accessible.Button : Accessible.Grouping
    Accessible.name: heading
    Accessible.onPressAction: if (actionable && enabled) activated()

    // A tint for brand and warning cards; the glass-card chrome for neutral ones.
    Rectangle {
        anchors.fill: parent
        radius: 12
        visible: card.tone !== SmallCardStyle.Neutral
        color: SmallCardStyle.tintFill(card.tone, KitEnvironment.scheme)
    }
    Rectangle {
        anchors.fill: parent
        radius: 12
        visible: card.tone === SmallCardStyle.Neutral
        color: Qt.rgba(0, 0, 0, 0.08)
    }
    GlassRim {
        anchors.fill: parent
        radius: 12
        visible: card.tone === SmallCardStyle.Neutral
        intensity: 0.5
        scheme: KitEnvironment.scheme
    }

    Item {
        id: content
        anchors.fill: parent
        opacity: card.enabled ? 1 : Pill.disabledOpacity

        Column {
            id: column
            x: 12
            y: 11
            width: card.columnWidth
            spacing: 8

            Item {
                width: parent.width
                height: Math.max(icon.y + icon.height, texts.y + texts.height)

                MicroIcon {
                    id: icon
                    symbol: card.symbol
                    size: card.iconSize
                    y: card.alignsTop ? SmallCardStyle.iconOffset(card.hasDetail, card.emphasis)
                                      : Math.max(0, (texts.height - height) / 2)
                    color: SmallCardStyle.iconColor(card.prominentIcon, card.emphasis, card.tone, KitEnvironment.scheme)
                }

                Column {
                    id: texts
                    x: card.iconSize + 8
                    y: card.alignsTop ? 0 : Math.max(0, (icon.height - height) / 2)
                    width: parent.width - x
                    spacing: 2

                    Text {
                        width: parent.width
                        text: card.heading
                        textFormat: Text.PlainText
                        font.pixelSize: SmallCardStyle.headingSize(card.emphasis)
                        font.weight: Font.DemiBold
                        color: KitPalette.ink(KitEnvironment.scheme)
                        wrapMode: Text.Wrap
                    }
                    Text {
                        width: parent.width
                        visible: card.hasDetail
                        text: card.detail
                        textFormat: Text.PlainText
                        font.pixelSize: 11
                        color: KitPalette.secondaryLabel(KitEnvironment.scheme)
                        wrapMode: Text.Wrap
                    }
                }
            }

            Loader {
                x: SmallCardStyle.footerInset(card.emphasis)
                width: parent.width - x
                active: card.hasFooter
                visible: active
                sourceComponent: card.footer
            }
        }

        Loader {
            id: trailingSlot
            anchors.right: parent.right
            anchors.rightMargin: SmallCardStyle.trailingInset(card.chevron, card.hasTrailing) + 5
            y: 5
            // The trailing content stretches to the card's height, less its 5-point inset.
            width: item ? item.implicitWidth : 0
            height: card.height - 10
            sourceComponent: card.trailing
        }

        MicroIcon {
            visible: card.chevron
            anchors.right: parent.right
            anchors.rightMargin: 12
            anchors.verticalCenter: parent.verticalCenter
            symbol: "chevron.right"
            color: KitPalette.tertiaryLabel(KitEnvironment.scheme)
        }
    }

    Rectangle {
        anchors.fill: parent
        radius: 12
        color: SmallCardStyle.hoverWash(KitEnvironment.scheme)
        opacity: card.hovering && card.enabled ? 1 : 0

        Behavior on opacity { NumberAnimation { duration: 120; easing.type: Easing.OutQuad } }
    }

    MouseArea {
        id: pointer
        anchors.fill: parent
        z: -1
        enabled: card.actionable
        hoverEnabled: enabled
        cursorShape: enabled ? Qt.PointingHandCursor : Qt.ArrowCursor
        onClicked: card.activated()
    }
}
