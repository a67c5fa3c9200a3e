// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
import QtQuick
import Quorvane

// The Connections tab: banners, the Add New card and the project list.
Item {
    required property AppModel model
    required property PanelState panel
}
