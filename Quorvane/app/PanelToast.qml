// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
import QtQuick

// The short note that confirms a copy, at the bottom of the panel.
Item {
    required property AppModel model
    required property PanelState panel
}
