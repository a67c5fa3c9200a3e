// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
import QtQuick

// The what's-new card and the notices above the list.
Item {
    required property AppModel model
    required property PanelState panel
}
