// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
import QtQuick
import Quorvane
import QtQuick.Controls
import Quorvane.Kit
import Quorvane.Scheduling

// The Scheduled Publishing tab: the queue page (the invitation card or the queue controls above
// the schedule screen, the link to the history below it, and the empty state) cross-faded with the
// publish history. What shows and what the controls say is decided by SchedulingTabState.
Item {
    id: tab

    required property AppModel model
    required property PanelState panel
    // The tab's decisions, for the panel's tests.
    readonly property SchedulingTabState tabState: decisions

    readonly property bool idle: decisions.isScheduleIdle
    readonly property bool showingHistory: panel.scheduleShowingHistory
    readonly property bool reduceMotion: KitEnvironment.reduceMotion

    SchedulingTabState {
        id: decisions
        model: tab.model
        panel: tab.panel
    }

    Item {
        id: queuePage
        objectName: "queuePage"
        anchors.fill: parent
        opacity: tab.showingHistory ? 0 : 1
        visible: opacity > 0
        enabled: !tab.showingHistory

        Behavior on opacity {
            enabled: !tab.reduceMotion
            NumberAnimation { duration: 380; easing.type: Easing.OutCubic }
        }

        TabScroll {
            id: scroll
            objectName: "queueScroll"
            anchors.top: topBar.bottom
            anchors.bottom: footer.top
            anchors.left: parent.left
            anchors.right: parent.right
            topPadding: 2

            // Made once the screen exists. The tab's state hands the screen a project card's
            // site itself, so the view is given none.
            Loader {
                width: parent ? parent.width : 0
                active: decisions.screen !== null
                sourceComponent: SchedulePublishView {
                    objectName: "scheduleScreen"
                    screen: decisions.screen
                }
            }
        }

        // The invitation card while idle, else the queue controls; the bar is as tall as the card
        // or as a pill.
        Item {
            id: topBar
            objectName: "scheduleTopBar"
            anchors.top: parent.top
            anchors.left: parent.left
            anchors.right: parent.right
            height: 12 + (tab.idle ? invitation.implicitHeight : 27) + (tab.idle ? 8 : 12)
            clip: true

            Behavior on height {
                enabled: !tab.reduceMotion
                SequentialAnimation {
                    PauseAnimation { duration: tab.idle ? 84 : 0 }
                    NumberAnimation { duration: 260; easing.type: Easing.OutCubic }
                }
            }

            SmallCard {
                id: invitation
                objectName: "invitationCard"
                x: 14
                y: 12
                width: parent.width - 28
                symbol: "clock"
                heading: "Schedule a site publish"
                detail: "Pick a site, a time, and the domains to publish to."
                tone: SmallCardStyle.Neutral
                emphasis: SmallCardStyle.Feature
                chevron: true
                prominentIcon: true
                actionable: true
                enabled: tab.idle
                opacity: tab.idle ? 1 : 0
                visible: opacity > 0
                onActivated: decisions.toggleScheduleForm()

                Behavior on opacity {
                    id: invitationFade
                    enabled: !tab.reduceMotion
                    SequentialAnimation {
                        PauseAnimation { duration: invitationFade.targetValue > 0 ? 266 : 0 }
                        NumberAnimation { duration: invitationFade.targetValue > 0 ? 360 : 240; easing.type: Easing.OutCubic }
                    }
                }
            }

            Item {
                id: controls
                objectName: "queueControls"
                x: 14
                y: 12
                width: parent.width - 28
                height: 27
                enabled: !tab.idle
                opacity: tab.idle ? 0 : 1
                visible: opacity > 0

                Behavior on opacity {
                    id: controlsFade
                    enabled: !tab.reduceMotion
                    SequentialAnimation {
                        PauseAnimation { duration: controlsFade.targetValue > 0 ? 192 : 0 }
                        NumberAnimation { duration: controlsFade.targetValue > 0 ? 325 : 240; easing.type: Easing.OutCubic }
                    }
                }

                PillButton {
                    id: orderToggle
                    objectName: "orderToggle"
                    anchors.left: parent.left
                    anchors.verticalCenter: parent.verticalCenter
                    text: decisions.orderText
                    symbol: decisions.orderSymbol
                    variant: Pill.Light
                    horizontal: 12
                    lifted: true
                    enabled: decisions.showsOrderToggle
                    opacity: decisions.showsOrderToggle ? 1 : 0
                    visible: opacity > 0
                    ToolTip.text: "Switch the queue between sooner-first and later-first"
                    ToolTip.visible: hovering
                    ToolTip.delay: 500
                    onClicked: decisions.toggleQueueOrder()

                    Behavior on opacity {
                        enabled: !tab.reduceMotion
                        NumberAnimation { duration: 325; easing.type: Easing.OutCubic }
                    }
                }

                PressablePill {
                    id: schedulePill
                    objectName: "schedulePill"
                    anchors.right: parent.right
                    anchors.verticalCenter: parent.verticalCenter
                    text: decisions.pillText
                    enabled: decisions.pillEnabled
                    ToolTip.text: decisions.pillHelp
                    ToolTip.visible: hovering
                    ToolTip.delay: 500
                    onClicked: decisions.toggleScheduleForm()

                    contentItem: Item {
                        readonly property color textColor: Pill.labelTextColor(Pill.Light, schedulePill.hovering,
                                                                               KitEnvironment.scheme)
                        implicitWidth: pillRow.implicitWidth + 18
                        implicitHeight: Pill.height
                        opacity: schedulePill.enabled ? 1 : Pill.disabledOpacity

                        GlassPillBackdrop {
                            anchors.fill: parent
                            tint: Pill.labelTint(Pill.Light, true, schedulePill.hovering, KitEnvironment.scheme)
                        }
                        GlassRim {
                            anchors.fill: parent
                            radius: height / 2
                            scheme: KitEnvironment.scheme
                        }
                        Row {
                            id: pillRow
                            anchors.centerIn: parent
                            spacing: 4

                            MicroIcon {
                                anchors.verticalCenter: parent.verticalCenter
                                visible: decisions.pillSymbol !== ""
                                symbol: decisions.pillSymbol
                                size: 9
                                color: parent.parent.textColor
                            }
                            Text {
                                objectName: "schedulePillText"
                                anchors.verticalCenter: parent.verticalCenter
                                text: decisions.pillText
                                textFormat: Text.PlainText
                                font.pixelSize: 11
                                font.weight: Font.Medium
                                color: parent.parent.textColor
                            }
                            // The key hint, while the pill carries the shortcut.
                            Rectangle {
                                objectName: "shortcutHint"
                                anchors.verticalCenter: parent.verticalCenter
                                visible: decisions.pillShowsShortcut
                                width: hint.implicitWidth + 8
                                height: hint.implicitHeight + 3
                                radius: height / 2
                                color: KitPalette.faded(KitPalette.ink(KitEnvironment.scheme), 0.1)
                                opacity: 0.85

                                KitText {
                                    id: hint
                                    anchors.centerIn: parent
                                    text: "Ctrl+N"
                                    size: 9.5
                                    weight: Font.Medium
                                }
                            }
                        }
                    }
                }
            }
        }

        // "Previous publishes", while the form is closed.
        Item {
            id: footer
            anchors.bottom: parent.bottom
            anchors.left: parent.left
            anchors.right: parent.right
            height: decisions.showsFooter ? historyLink.implicitHeight : 0

            FooterLinkButton {
                id: historyLink
                objectName: "historyLink"
                anchors.horizontalCenter: parent.horizontalCenter
                visible: decisions.showsFooter
                label: "Previous publishes"
                onClicked: decisions.showHistory()
            }
        }

        EmptyStateOverlay {
            objectName: "scheduleEmptyState"
            anchors.fill: parent
            iconName: "time-history-off"
            message: "No scheduled publishes."
            shown: decisions.showsEmptyState
        }
    }

    // The history is made anew each time it shows, so it reads the history again.
    Loader {
        id: historyPage
        objectName: "historyPage"
        anchors.fill: parent
        active: tab.showingHistory || opacity > 0
        opacity: tab.showingHistory ? 1 : 0
        visible: opacity > 0

        Behavior on opacity {
            enabled: !tab.reduceMotion
            NumberAnimation { duration: 380; easing.type: Easing.OutCubic }
        }

        sourceComponent: TabScroll {
            topPadding: 2

            Loader {
                width: parent ? parent.width : 0
                active: decisions.history !== null
                sourceComponent: PublishHistoryView {
                    objectName: "historyView"
                    presenter: decisions.history
                    onBack: decisions.leaveHistory()
                }
            }
        }
    }
}
