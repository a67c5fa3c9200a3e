// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
import QtQuick
import Quorvane

// The projects, publishing access without a project and the unrecognized entries.
Item {
    required property AppModel model
    required property PanelState panel
}
