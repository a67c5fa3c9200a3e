// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
import QtQuick

// The panel's glass background, accent gradient, shimmer and border.
Item {
    required property AppModel model
    required property PanelState panel
}
