// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
import QtQuick

// A tab's empty state, over its content; it lets clicks through while hidden.
Item {
    property string iconName
    property string message
    property bool shown: false
}
