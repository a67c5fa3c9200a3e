// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
import QtQuick

// The Add New field with its hints.
Item {
    required property AppModel model
    required property PanelState panel
}
