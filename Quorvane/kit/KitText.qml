// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
import QtQuick
import Quorvane.Kit

// Plain text at a size in half points, such as 10.5. Qt resolves every font to whole pixels, so
// a half size is drawn at twice the size and scaled to half; a whole size is drawn as it is.
// Give it a width for the text to wrap in.
Item {
    id: root

    property string text
    // The font size, in points.
    property real size: 11
    property int weight: Font.Normal
    // A font family other than the application's; empty for the application's.
    property string family
    property color color: KitPalette.ink(KitEnvironment.scheme)
    property int wrapMode: Text.NoWrap
    property int horizontalAlignment: Text.AlignLeft
    property int elide: Text.ElideNone
    property int maximumLineCount: 0
    readonly property int factor: Math.round(size) === size ? 1 : 2

    implicitWidth: glyphs.implicitWidth / factor
    implicitHeight: glyphs.implicitHeight / factor
    baselineOffset: glyphs.baselineOffset / factor
    Accessible.role: Accessible.StaticText
    Accessible.name: text

    Text {
        id: glyphs
        objectName: "glyphs"
        width: root.width * root.factor
        scale: 1 / root.factor
        transformOrigin: Item.TopLeft
        text: root.text
        textFormat: Text.PlainText
        font.pixelSize: root.size * root.factor
        font.weight: root.weight
        font.family: root.family !== "" ? root.family : Qt.application.font.family
        color: root.color
        wrapMode: root.wrapMode
        horizontalAlignment: root.horizontalAlignment
        elide: root.elide
        maximumLineCount: root.maximumLineCount > 0 ? root.maximumLineCount : 2147483647
    }
}
