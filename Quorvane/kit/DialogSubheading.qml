// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
import QtQuick
import Quorvane.Kit

// A dialog's explanation: paragraphs of centred lines, 9 points between paragraphs and 3 between
// lines, 10 points below what precedes it.
Column {
    id: subheading

    property string text

    width: parent ? parent.width : implicitWidth
    topPadding: 10
    spacing: 9

    Repeater {
        model: DialogStyle.paragraphs(subheading.text)

        Column {
            id: paragraph
            required property var modelData
            width: subheading.width
            spacing: 3

            Repeater {
                model: paragraph.modelData

                Text {
                    required property string modelData
                    width: paragraph.width
                    text: modelData
                    textFormat: Text.PlainText
                    font.pixelSize: 11
                    color: KitPalette.primaryLabel(KitEnvironment.scheme)
                    opacity: 0.82
                    horizontalAlignment: Text.AlignHCenter
                    wrapMode: Text.Wrap
                }
            }
        }
    }
}
