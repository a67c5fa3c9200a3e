// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
import QtQuick

// Shows the active tab's content and cross-fades between tabs.
Item {
    required property AppModel model
    required property PanelState panel
}
