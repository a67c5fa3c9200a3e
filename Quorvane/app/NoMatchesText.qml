// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
import QtQuick
import Quorvane.Kit

// The centred line shown when a search finds nothing, with room above and below.
Item {
    id: root

    property string text

    width: parent ? parent.width : implicitWidth
    implicitWidth: line.implicitWidth
    implicitHeight: line.implicitHeight + 56
    Accessible.role: Accessible.StaticText
    Accessible.name: text

    KitText {
        id: line
        objectName: "line"
        y: 28
        width: root.width
        text: root.text
        size: 12
        color: KitPalette.secondaryLabel(KitEnvironment.scheme)
        horizontalAlignment: Text.AlignHCenter
        wrapMode: Text.Wrap
    }
}
