// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
import QtQuick
import Qt5Compat.GraphicalEffects
import Quorvane.Kit
import Quorvane.Panel

// A marker dot with its count, such as "3 queued", on a faint capsule.
Item {
    id: pill

    property color marker
    property string text
    readonly property bool effects: GraphicsInfo.api !== GraphicsInfo.Software

    implicitWidth: row.implicitWidth + 16
    implicitHeight: 23
    Accessible.role: Accessible.StaticText
    Accessible.name: text

    Rectangle {
        anchors.fill: parent
        radius: height / 2
        color: PageStatusStyle.pillTint(KitEnvironment.scheme)
    }

    Row {
        id: row
        x: 8
        anchors.verticalCenter: parent.verticalCenter
        spacing: 4

        Item {
            width: 12.075
            height: 12.075
            anchors.verticalCenter: parent.verticalCenter

            Rectangle {
                anchors.centerIn: parent
                width: 7
                height: 7
                radius: 3.5
                color: pill.marker
                layer.enabled: pill.effects
                layer.effect: DropShadow {
                    color: KitPalette.faded(pill.marker, PageStatusStyle.markerGlowOpacity(KitEnvironment.scheme))
                    radius: 3
                    samples: 7
                    transparentBorder: true
                }
            }
        }
        KitText {
            objectName: "pillText"
            anchors.verticalCenter: parent.verticalCenter
            text: pill.text
            size: 10.5
            weight: Font.Medium
            color: KitPalette.secondaryLabel(KitEnvironment.scheme)
        }
    }
}
