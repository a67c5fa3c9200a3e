// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
import QtQuick
import Quorvane.Kit

// The circular look of an icon-only button: a 27-point glass circle with a rim behind the glyph.
// Quiet, only the dimmed glyph shows until the pointer is over it; `destructiveHover` turns it red.
Item {
    id: circle

    property string symbol
    property real symbolSize: 13.75
    // The pointer is over the enclosing pill button.
    property bool hovered: false
    // The caller's destructive hover (the pointer over a delete button).
    property bool destructiveHover: false
    property bool quiet: false

    implicitWidth: Pill.height
    implicitHeight: Pill.height

    GlassPillBackdrop {
        anchors.fill: parent
        tint: Pill.circleIconTint(circle.destructiveHover, circle.hovered, KitEnvironment.scheme)
        opacity: Pill.circleBackdropOpacity(circle.quiet, circle.hovered)
    }

    GlassRim {
        anchors.fill: parent
        radius: width / 2
        intensity: Pill.circleRimIntensity(circle.quiet, circle.hovered)
        scheme: KitEnvironment.scheme
    }

    MicroIcon {
        anchors.centerIn: parent
        symbol: circle.symbol
        size: circle.symbolSize
        color: Pill.circleIconColor(circle.destructiveHover, circle.quiet, circle.hovered, KitEnvironment.scheme)

        Behavior on color { ColorAnimation { duration: 120; easing.type: Easing.OutQuad } }
    }
}
