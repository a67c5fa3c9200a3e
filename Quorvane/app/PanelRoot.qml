// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
import QtQuick

// The panel window; the main panel fills it.
Window {
    id: panel

    title: "Quorvane"
    width: 400
    height: 600
    color: "transparent"
}
