// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
import QtQuick
import Quorvane
import Quorvane.Kit
import Quorvane.Panel

// The Page Status tab: the projects once more as Page Status rows under the Connections tab's top
// bar and add card, with Refresh and the explanation link below, cross-faded with the explanation
// page. What shows is decided by PageStatusTabState.
Item {
    id: tab

    required property AppModel model
    required property PanelState panel
    // The tab's decisions, for the panel's tests.
    readonly property PageStatusTabState tabState: decisions

    readonly property bool showingInfo: panel.pageStatusShowingInfo
    readonly property bool reduceMotion: KitEnvironment.reduceMotion

    PageStatusTabState {
        id: decisions
        model: tab.model
        panel: tab.panel
    }

    Item {
        id: listPage
        objectName: "listPage"
        anchors.fill: parent
        opacity: tab.showingInfo ? 0 : 1
        visible: opacity > 0
        enabled: !tab.showingInfo

        Behavior on opacity {
            enabled: !tab.reduceMotion
            NumberAnimation { duration: 380; easing.type: Easing.OutCubic }
        }

        ListTopBar {
            id: topBar
            objectName: "listTopBar"
            anchors.top: parent.top
            anchors.left: parent.left
            anchors.right: parent.right
            model: tab.model
            panel: tab.panel
        }

        TabScroll {
            id: scroll
            objectName: "pageStatusScroll"
            anchors.top: topBar.bottom
            anchors.bottom: footer.top
            anchors.left: parent.left
            anchors.right: parent.right
            topPadding: 2

            FadeThenCollapse {
                width: parent ? parent.width : 0
                isPresented: tab.model.adding.showingAdd
                AddNewCard {
                    model: tab.model
                    panel: tab.panel
                }
            }

            // While the registry is read.
            ReadingConnectionsRow {
                objectName: "readingRow"
                width: parent ? parent.width : 0
                visible: decisions.content === "loading"
            }

            LoadErrorNotice {
                objectName: "loadErrorNotice"
                width: parent ? parent.width : 0
                visible: decisions.content === "loadError"
                model: tab.model
                panel: tab.panel
            }

            Column {
                objectName: "rows"
                width: parent ? parent.width : 0
                visible: decisions.content === "rows"
                spacing: 8

                NoMatchesText {
                    objectName: "noMatches"
                    width: parent.width
                    visible: decisions.showsNoMatches
                    text: decisions.noMatchesText
                }

                Repeater {
                    model: decisions.rows
                    // A plain item holds the roles: the card's own `model` is the application model.
                    Item {
                        id: row
                        required property string projectId
                        required property string title
                        required property string mcpName
                        required property string siteId

                        objectName: "pageStatusRow"
                        width: parent ? parent.width : 0
                        height: card.implicitHeight

                        PageStatusProjectCard {
                            id: card
                            width: parent.width
                            model: tab.model
                            title: row.title
                            siteId: row.siteId
                            mcpName: row.mcpName
                        }
                    }
                }

                KitText {
                    objectName: "pageStatusError"
                    x: 4
                    width: parent.width - 8
                    visible: text !== ""
                    text: decisions.lastError
                    size: 10.5
                    wrapMode: Text.Wrap
                    color: KitPalette.systemOrange(KitEnvironment.scheme)
                }
                KitText {
                    objectName: "pageStatusNotice"
                    x: 4
                    width: parent.width - 8
                    visible: text !== ""
                    text: decisions.lastNotice
                    size: 10.5
                    wrapMode: Text.Wrap
                    color: KitPalette.secondaryLabel(KitEnvironment.scheme)
                }
            }
        }

        // Refresh at one end, the explanation link at the other.
        Item {
            id: footer
            objectName: "pageStatusFooter"
            anchors.bottom: parent.bottom
            anchors.left: parent.left
            anchors.right: parent.right
            anchors.leftMargin: 14
            anchors.rightMargin: 14
            height: Math.max(refresh.implicitHeight, infoLink.implicitHeight)

            FooterLinkButton {
                id: refresh
                objectName: "refreshButton"
                anchors.left: parent.left
                anchors.verticalCenter: parent.verticalCenter
                label: decisions.refreshLabel
                enabled: decisions.refreshEnabled
                Accessible.name: "Refresh Page Status counts"
                onClicked: decisions.refreshPageStatus()
            }
            FooterLinkButton {
                id: infoLink
                objectName: "infoLink"
                anchors.right: parent.right
                anchors.verticalCenter: parent.verticalCenter
                label: "What is Page Status?"
                onClicked: decisions.showInfo()
            }
        }

        EmptyStateOverlay {
            objectName: "pageStatusEmptyState"
            anchors.fill: parent
            iconName: "tag-label"
            message: "No projects yet."
            shown: decisions.showsFirstRunCard
        }
    }

    Loader {
        id: infoPage
        objectName: "infoPage"
        anchors.fill: parent
        active: tab.showingInfo || opacity > 0
        opacity: tab.showingInfo ? 1 : 0
        visible: opacity > 0

        Behavior on opacity {
            enabled: !tab.reduceMotion
            NumberAnimation { duration: 380; easing.type: Easing.OutCubic }
        }

        sourceComponent: TabScroll {
            topPadding: 2

            PageStatusInfoView {
                objectName: "infoView"
                width: parent ? parent.width : 0
                enableNewProjectsByDefault: decisions.enableNewProjectsByDefault
                onEnableNewProjectsByDefaultToggled: on => decisions.enableNewProjectsByDefault = on
                onBack: decisions.hideInfo()
            }
        }
    }
}
