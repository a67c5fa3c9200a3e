// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
import QtQuick
import Quorvane

// The header's More button and its menu with the account section.
Item {
    required property AppModel model
    required property PanelState panel
}
