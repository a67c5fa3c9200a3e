// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
import QtQuick
import Quorvane

// The Page Status tab.
Item {
    required property AppModel model
    required property PanelState panel
}
