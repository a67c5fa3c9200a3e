// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
import QtQuick
import Quorvane.Kit

// The maker's wordmark at a given height in the surrounding text colour, sitting on the text
// baseline of a row; the maker's name in text when the drawing cannot be loaded.
Item {
    id: wordmark

    // Height of the wordmark, in points.
    property real markHeight: 14
    property color color: KitPalette.ink(KitEnvironment.scheme)

    implicitHeight: markHeight
    implicitWidth: mark.loaded ? markHeight * mark.aspectRatio : fallback.implicitWidth
    baselineOffset: mark.loaded ? markHeight * 0.7542 : fallback.baselineOffset
    Accessible.role: Accessible.StaticText
    Accessible.name: "Velliscor"

    TemplateIcon {
        id: mark
        anchors.fill: parent
        kind: TemplateIcon.Wordmark
        color: wordmark.color
        visible: loaded
    }

    Text {
        id: fallback
        visible: !mark.loaded
        text: "Velliscor"
        font.pixelSize: wordmark.markHeight * 0.85
        font.weight: Font.DemiBold
        color: wordmark.color
    }
}
