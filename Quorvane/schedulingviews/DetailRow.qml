// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
import QtQuick
import Quorvane.Kit

// One detail line of a schedule or history card: a dimmed icon in a fixed frame, so the texts
// line up, then the text.
Row {
    id: row

    property string symbol
    property string text
    property int maximumLineCount: 1

    spacing: 6

    Item {
        width: 14
        height: 14
        MicroIcon {
            anchors.centerIn: parent
            symbol: row.symbol
            size: 12.075
            color: KitPalette.tertiaryLabel(KitEnvironment.scheme)
        }
    }
    // Drawn at twice its size and scaled to half, as the kit draws half-point text, so that it
    // can still elide after its last line.
    Item {
        width: row.width - 20
        height: label.implicitHeight / 2
        anchors.verticalCenter: parent.verticalCenter

        Text {
            id: label
            width: parent.width * 2
            scale: 0.5
            transformOrigin: Item.TopLeft
            text: row.text
            textFormat: Text.PlainText
            font.pixelSize: 21
            color: KitPalette.secondaryLabel(KitEnvironment.scheme)
            wrapMode: Text.Wrap
            maximumLineCount: row.maximumLineCount
            elide: Text.ElideRight
        }
    }
}
