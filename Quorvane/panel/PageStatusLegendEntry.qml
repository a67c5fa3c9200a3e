// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
import QtQuick
import Quorvane.Kit
import Quorvane.Panel

// One marker of the Page Status legend: the marker, its title and what it means.
Row {
    id: entry

    property string marker
    property string title
    property string detail

    spacing: 8

    Text {
        width: 18
        text: entry.marker
        textFormat: Text.PlainText
        font.pixelSize: 14
        horizontalAlignment: Text.AlignHCenter
    }
    Column {
        width: entry.width - 18 - entry.spacing
        spacing: 2

        Text {
            objectName: "legendTitle"
            width: parent.width
            text: entry.title
            textFormat: Text.PlainText
            font.pixelSize: 11
            font.weight: Font.DemiBold
            color: PageStatusStyle.strongText(KitEnvironment.scheme)
        }
        KitText {
            width: parent.width
            text: entry.detail
            size: 10.5
            color: KitPalette.secondaryLabel(KitEnvironment.scheme)
            wrapMode: Text.Wrap
        }
    }
}
