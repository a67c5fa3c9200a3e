// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
import QtQuick

// The list of tabs that slides out from under the header.
Item {
    required property AppModel model
    required property PanelState panel
}
