// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
import QtQuick
import Quorvane.Kit

// A small monochrome icon of our own set, drawn in one colour in a square of `size`.
TemplateIcon {
    // The icon's name.
    property string symbol
    // Side of the square, in points.
    property real size: 13.75
    // Kept for callers that name a weight; our drawings have a single stroke weight.
    property int weight: Font.Medium

    kind: TemplateIcon.Micro
    name: symbol
    color: KitPalette.ink(KitEnvironment.scheme)
    implicitWidth: size
    implicitHeight: size
}
