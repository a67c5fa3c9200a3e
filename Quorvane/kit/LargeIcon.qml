// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
import QtQuick
import Quorvane.Kit

// A large icon of our own set in one colour; empty when the drawing cannot be loaded.
TemplateIcon {
    // Side of the square, in points.
    property real size: 44

    kind: TemplateIcon.Large
    color: KitPalette.mutedIcon(KitEnvironment.scheme)
    implicitWidth: loaded ? size : 0
    implicitHeight: loaded ? size : 0
}
