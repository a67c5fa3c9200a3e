// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
import QtQuick
import QtQuick.Templates as T
import Quorvane.Kit
import Quorvane.Panel

// The project card's pill: an icon and a label (or waiting dots) on a capsule, orange for a
// warning, violet for the brand look. Texts laid out invisibly under the label keep the pill at
// least as wide as the widest of them.
T.AbstractButton {
    id: tag

    property string symbol
    // Shown instead of `symbol` under the pointer; empty for none.
    property string hoverSymbol
    property string label
    property bool prominentBrand: false
    property bool warning: false
    property var sizingLabels: []
    property bool dots: false
    readonly property bool hovering: hovered
    readonly property color foreground: TagStyle.foreground(warning, prominentBrand, KitEnvironment.scheme)

    hoverEnabled: true
    padding: 0
    leftPadding: 5.5
    rightPadding: 11
    implicitWidth: implicitContentWidth + leftPadding + rightPadding
    implicitHeight: 21
    Accessible.role: Accessible.Button
    Accessible.name: label
    Accessible.onPressAction: clicked()

    background: Rectangle {
        radius: height / 2
        color: TagStyle.background(tag.warning, tag.prominentBrand, tag.hovering, KitEnvironment.scheme)

        Behavior on color { ColorAnimation { duration: 120; easing.type: Easing.OutQuad } }
    }

    contentItem: Row {
        spacing: 4

        Item {
            anchors.verticalCenter: parent.verticalCenter
            width: 14
            height: 14
            MicroIcon {
                objectName: "tagIcon"
                anchors.centerIn: parent
                symbol: tag.hovering && tag.hoverSymbol !== "" ? tag.hoverSymbol : tag.symbol
                size: 10.925
                color: tag.foreground
            }
        }
        Item {
            anchors.verticalCenter: parent.verticalCenter
            implicitWidth: Math.max(sizer.implicitWidth, tag.dots ? waiting.implicitWidth : text.implicitWidth)
            implicitHeight: text.implicitHeight

            Column {
                id: sizer
                opacity: 0
                Repeater {
                    model: tag.sizingLabels
                    KitText {
                        required property string modelData
                        text: modelData
                        size: 10
                        weight: Font.Medium
                    }
                }
            }
            KitText {
                id: text
                objectName: "tagLabel"
                anchors.verticalCenter: parent.verticalCenter
                visible: !tag.dots
                text: tag.label
                size: 10
                weight: Font.Medium
                color: tag.foreground
            }
            CheckingDots {
                id: waiting
                anchors.verticalCenter: parent.verticalCenter
                visible: tag.dots
                color: tag.foreground
            }
        }
    }
}
