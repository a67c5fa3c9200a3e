// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
import QtQuick
import Quorvane.Kit

// The tinted glass behind one pill or circular button: a capsule when wide, a circle when square.
// A tint change fades over 0.12 s, except the first one and one that comes with a scheme change.
Rectangle {
    id: backdrop

    // The tint; transparent for none.
    property color tint: "transparent"

    radius: Math.min(width, height) / 2
    color: glassTint.color

    Behavior on color {
        enabled: glassTint.fades
        ColorAnimation { duration: 120; easing.type: Easing.OutQuad }
    }

    GlassTint {
        id: glassTint
        tint: backdrop.tint
        scheme: KitEnvironment.scheme
    }
}
