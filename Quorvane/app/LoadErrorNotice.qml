// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
import QtQuick
import Quorvane

// Why Claude Code's registry could not be read, with a way to report it.
Item {
    required property AppModel model
    required property PanelState panel
}
