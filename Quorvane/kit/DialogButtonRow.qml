// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
import QtQuick
import QtQuick.Layouts
import Quorvane.Kit

// A row of dialog buttons sharing its width equally, 8 points apart, 24 points below the text.
Item {
    default property alias content: row.data

    width: parent ? parent.width : implicitWidth
    implicitWidth: row.implicitWidth
    implicitHeight: row.implicitHeight + 24

    RowLayout {
        id: row
        y: 24
        width: parent.width
        spacing: 8
    }
}
