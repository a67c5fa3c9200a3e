// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
import QtQuick
import Quorvane
import Quorvane.Kit

// The application's mark inside the panel: the tray's drawing fitted into a square of `size` with
// its aspect kept, in the panel's accent; the symbol it stands for when the drawing is missing.
Item {
    id: appMark

    // Edge of the square, in points.
    property real size: 15
    property color color: PanelLook.accent(KitEnvironment.scheme)
    // Whether the symbol stands in for the drawing.
    readonly property bool usesFallback: !drawing.loaded

    implicitWidth: size
    implicitHeight: size
    // The product's name beside it is read instead.
    Accessible.ignored: true

    MicroIcon {
        id: drawing
        objectName: "markDrawing"
        anchors.fill: parent
        visible: loaded
        symbol: "menubar-icon"
        size: appMark.size
        color: appMark.color
    }
    MicroIcon {
        objectName: "markSymbol"
        anchors.fill: parent
        visible: appMark.usesFallback
        symbol: "point.3.connected.trianglepath.dotted"
        size: appMark.size
        weight: Font.DemiBold
        color: appMark.color
    }
}
