// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
pragma ComponentBehavior: Bound
import QtQuick
import Quorvane
import Quorvane.Kit

// The Connections tab's list in each of its states side by side, for a person to look at.
Item {
    id: gallery

    // One column each: { title, model, panel }.
    required property var columns

    width: 16 + columns.length * 376
    height: 640

    GlassPanelBackground {
        anchors.fill: parent
    }

    Row {
        x: 16
        y: 12
        spacing: 16

        Repeater {
            model: gallery.columns

            Column {
                id: column
                required property var modelData
                width: 360
                spacing: 8

                KitText {
                    text: column.modelData.title
                    size: 11
                    weight: Font.Medium
                    color: KitPalette.secondaryLabel(KitEnvironment.scheme)
                }
                ProjectList {
                    objectName: "list-" + column.modelData.title
                    width: column.width
                    model: column.modelData.model
                    panel: column.modelData.panel
                }
            }
        }
    }
}
