// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
import QtQuick

// The header row: the mark, the tab switch and the More menu.
Item {
    required property AppModel model
    required property PanelState panel
}
