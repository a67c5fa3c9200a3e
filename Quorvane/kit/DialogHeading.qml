// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
import QtQuick
import Quorvane.Kit

// A dialog's heading: 17-point semibold, centred, wrapping, 14 points below what precedes it.
Text {
    width: parent ? parent.width : implicitWidth
    topPadding: 14
    textFormat: Text.PlainText
    font.pixelSize: 17
    font.weight: Font.DemiBold
    color: KitPalette.primaryLabel(KitEnvironment.scheme)
    horizontalAlignment: Text.AlignHCenter
    wrapMode: Text.Wrap
}
