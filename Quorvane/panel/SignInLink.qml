// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
import QtQuick
import QtQuick.Templates as T
import Quorvane.Kit

// A text link of the sign-in overlay, in the brand violet, with the link pointer.
T.AbstractButton {
    id: control

    hoverEnabled: true
    padding: 0
    implicitWidth: label.implicitWidth
    implicitHeight: label.implicitHeight
    opacity: enabled ? 1 : Pill.disabledOpacity
    Accessible.role: Accessible.Link
    Accessible.name: text
    Accessible.onPressAction: clicked()

    contentItem: KitText {
        id: label
        text: control.text
        size: 10.5
        color: KitPalette.linkText(KitEnvironment.scheme)
    }

    HoverHandler {
        cursorShape: Qt.PointingHandCursor
    }
}
