// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
import QtQuick

// The first-run card, or the search field and the Add New button.
Item {
    required property AppModel model
    required property PanelState panel
}
