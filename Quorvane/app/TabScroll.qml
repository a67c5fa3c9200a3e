// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
import QtQuick

// The scroll column of a tab: its items stacked under a chosen space.
Flickable {
    id: scroll

    property real topPadding: 0
    default property alias content: column.data

    contentHeight: column.implicitHeight + topPadding
    clip: true

    Column {
        id: column
        y: scroll.topPadding
        width: scroll.width
    }
}
