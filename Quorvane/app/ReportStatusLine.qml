// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
import QtQuick
import Quorvane

// How the last error report went.
Item {
    required property AppModel model
    required property PanelState panel
}
