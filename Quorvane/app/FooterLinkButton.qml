// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
import QtQuick

// A text link in the bottom bar of a tab.
Item {
    property string label
    signal clicked()
}
