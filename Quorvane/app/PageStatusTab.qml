// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
import QtQuick

// The Page Status tab.
Item {
    required property AppModel model
    required property PanelState panel
}
