// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
import QtQuick
import Quorvane
import QtQuick.Controls
import Quorvane.Kit

// The Connections tab: the top bar pinned above a scrolling column of the banners, the Add New
// card and the connections (the loading row, why the registry cannot be read, or the project
// list), the report status under them, and the empty state over it all on a first run.
Item {
    id: tab

    required property AppModel model
    required property PanelState panel

    ConnectionsTabState {
        id: state
        model: tab.model
        searchText: tab.panel.searchText
    }

    ListTopBar {
        id: topBar
        objectName: "listTopBar"
        z: 1
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.top: parent.top
        model: tab.model
        panel: tab.panel
    }

    // The column starts under the bar and scrolls beneath it.
    TabScroll {
        id: scroll
        objectName: "connectionsScroll"
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.top: topBar.bottom
        anchors.bottom: parent.bottom
        topPadding: 2

        BannerColumn {
            width: parent.width
            model: tab.model
            panel: tab.panel
            tabState: state
        }

        ReadingConnectionsRow {
            width: parent.width
            visible: tab.model.isLoading
            height: visible ? implicitHeight : 0
        }

        LoadErrorNotice {
            width: parent.width
            visible: !tab.model.isLoading && tab.model.loadError !== ""
            model: tab.model
            panel: tab.panel
        }

        ProjectList {
            width: parent.width
            visible: !tab.model.isLoading && tab.model.loadError === ""
            model: tab.model
            panel: tab.panel
        }

        ReportStatusLine {
            width: parent.width
            model: tab.model
            panel: tab.panel
        }
    }

    EmptyStateOverlay {
        objectName: "connectionsEmptyState"
        anchors.fill: parent
        iconName: "smiley-drop"
        message: "No connected Webflow sites."
        shown: state.showsEmptyState
    }
}
