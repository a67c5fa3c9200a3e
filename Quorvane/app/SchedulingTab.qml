// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
import QtQuick
import Quorvane

// The Scheduled Publishing tab.
Item {
    required property AppModel model
    required property PanelState panel
}
