// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
import QtQuick
import QtQuick.Controls

// The scrolling column a tab's content sits in: items stacked 10 points apart, 14 points in from
// the sides and the bottom, `topPadding` below the top. It bounces only when there is more to see.
Flickable {
    id: scroll

    // Space above the first item, chosen by the tab.
    property real topPadding: 0
    default property alias content: column.data

    clip: true
    contentWidth: width
    contentHeight: column.implicitHeight + topPadding + 14
    boundsBehavior: contentHeight > height ? Flickable.DragAndOvershootBounds : Flickable.StopAtBounds
    ScrollBar.vertical: ScrollBar {
        policy: scroll.contentHeight > scroll.height ? ScrollBar.AsNeeded : ScrollBar.AlwaysOff
    }

    Column {
        id: column
        x: 14
        y: scroll.topPadding
        width: scroll.width - 28
        spacing: 10
    }

    // The content fades under the top edge instead of being cut there.
    Rectangle {
        parent: scroll
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.top: parent.top
        height: 10
        visible: scroll.contentY > 0
        gradient: Gradient {
            GradientStop { position: 0; color: Qt.rgba(0, 0, 0, 0.06) }
            GradientStop { position: 1; color: "transparent" }
        }
    }
}
