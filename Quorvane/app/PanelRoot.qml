// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
import QtQuick
import Quorvane
import Quorvane.Kit
import Quorvane.Onboarding
import Quorvane.Panel

// The panel window: its glass, the column of header, tab list and tab content, the overlays
// stacked above it in a fixed order, the toast, and the keyboard shortcuts.
Window {
    id: window

    required property AppModel model
    required property PanelState panel
    // The last values each overlay showed, kept while it fades out.
    property var lastSheet: model.activity.sheet
    property var lastSignIn: model.cloud.signIn
    readonly property bool overlayShowing: model.activity.hasSheet || model.confirms.hasConfirm
        || model.cloud.hasSignIn || panel.showingAbout || model.showingIntro
    // A Claude sign-in started from the intro lifts its sheet above the intro, so its Cancel stays
    // in reach.
    readonly property bool activityRaised: introLayer.item ? introLayer.item.raisesActivity : false

    title: "Quorvane"
    width: 420
    height: 600
    minimumWidth: 420
    maximumWidth: 420
    minimumHeight: 600
    maximumHeight: 600
    color: "transparent"

    Binding {
        target: KitEnvironment
        property: "pillHoverEpoch"
        value: window.panel.hoverEpoch
    }
    Connections {
        target: window.model.activity
        function onSheetChanged() {
            if (window.model.activity.hasSheet)
                window.lastSheet = window.model.activity.sheet;
        }
    }
    Connections {
        target: window.model.cloud
        function onSignInChanged() {
            if (window.model.cloud.hasSignIn)
                window.lastSignIn = window.model.cloud.signIn;
        }
    }

    Item {
        id: root
        objectName: "panelRoot"
        width: 420
        height: 600
        anchors.centerIn: parent

        ShimmerTracker {
            id: shimmer
        }

        HoverHandler {
            onPointChanged: if (hovered) shimmer.moved(point.position)
            onHoveredChanged: {
                if (!hovered) {
                    shimmer.left();
                    window.panel.pointerLeft();
                }
            }
        }

        PanelChrome {
            anchors.fill: parent
            model: window.model
            panel: window.panel
            tracker: shimmer
        }

        Column {
            id: column
            objectName: "panelColumn"
            anchors.fill: parent

            PanelHeader {
                id: header
                width: parent.width
                model: window.model
                panel: window.panel
            }

            // The tab list behind the content card, which slides down to uncover it.
            Item {
                width: parent.width
                height: parent.height - header.height

                TabPicker {
                    id: picker
                    width: parent.width
                    model: window.model
                    panel: window.panel
                }

                TabContentHost {
                    objectName: "contentCard"
                    x: 7
                    y: window.panel.showingTabs ? picker.pickerHeight : 0
                    width: parent.width - 14
                    height: parent.height - 7
                    model: window.model
                    panel: window.panel
                    Behavior on y {
                        enabled: !KitEnvironment.reduceMotion
                        NumberAnimation { duration: 380; easing.type: Easing.OutCubic }
                    }
                }
            }
        }

        // The overlays: a higher one covers the lower ones.
        OverlayLayer {
            objectName: "activityLayer"
            z: window.panel.overlayLayer(PanelState.Overlay.activity, window.activityRaised)
            shown: window.model.activity.hasSheet
            overlay: ActivityOverlay {
                sheet: window.lastSheet
                canReport: window.panel.canReportActivity
                canCancel: window.panel.canCancelActivity
                canRetry: window.panel.canRetryActivity
                reportState: window.panel.reportState
                onReportRequested: window.panel.reportActivity()
                onCancelRequested: window.panel.cancelActivity()
                onRetryRequested: window.panel.retryActivity()
                onCloseRequested: window.model.activity.closeActivity()
            }
        }
        OverlayLayer {
            objectName: "aboutLayer"
            z: window.panel.overlayLayer(PanelState.Overlay.about, window.activityRaised)
            shown: window.panel.showingAbout
            overlay: AboutOverlay {
                onClose: window.panel.showingAbout = false
            }
        }
        OverlayLayer {
            id: introLayer
            objectName: "introLayer"
            z: window.panel.overlayLayer(PanelState.Overlay.intro, window.activityRaised)
            shown: window.model.showingIntro
            overlay: IntroWizard {
                model: window.model
                onClose: window.model.showingIntro = false
            }
        }
        OverlayLayer {
            objectName: "confirmLayer"
            z: window.panel.overlayLayer(PanelState.Overlay.confirm, window.activityRaised)
            shown: window.model.confirms.hasConfirm
            overlay: ConfirmOverlay {
                // The queue itself: its confirm takes the question down before the action runs,
                // so a question the action asks is shown, not cleared.
                confirms: window.model.confirms
            }
        }
        OverlayLayer {
            objectName: "signInLayer"
            z: window.panel.overlayLayer(PanelState.Overlay.signIn, window.activityRaised)
            shown: window.model.cloud.hasSignIn
            overlay: SignInOverlay {
                request: window.lastSignIn
                account: window.model.account
                onCancelRequested: window.model.cloud.dismissSignIn()
                onSignedIn: window.model.cloud.finishSignIn(window.lastSignIn.id)
            }
        }

        // The toast and the rim lie above every overlay.
        PanelToast {
            z: 100
            model: window.model
            panel: window.panel
        }

        // The rim inside the panel's edge, over everything.
        Rectangle {
            z: 101
            anchors.fill: parent
            radius: 16
            color: "transparent"
            border.width: 1
            border.color: PanelLook.border(KitEnvironment.scheme)
        }

        // The panel's shortcuts. Two enabled shortcuts on one sequence would both stay silent,
        // so each sequence is bound once here and gated by the state.
        Shortcut {
            sequence: "Ctrl+R"
            enabled: !window.model.isRefreshing
            onActivated: window.panel.refreshConnections()
        }
        Shortcut {
            sequence: "Ctrl+F"
            enabled: window.panel.canFocusSearch
            onActivated: window.panel.focusSearch()
        }
        Shortcut {
            sequence: "Ctrl+1"
            onActivated: window.panel.selectTab(1)
        }
        Shortcut {
            sequence: "Ctrl+2"
            onActivated: window.panel.selectTab(2)
        }
        Shortcut {
            sequence: "Ctrl+Tab"
            enabled: window.panel.canCycleTabs
            onActivated: window.panel.cycleTab(1)
        }
        Shortcut {
            // X11 reports Shift+Tab as Backtab.
            sequences: ["Ctrl+Shift+Tab", "Ctrl+Backtab", "Ctrl+Shift+Backtab"]
            enabled: window.panel.canCycleTabs
            onActivated: window.panel.cycleTab(-1)
        }
        Shortcut {
            sequence: "Ctrl+Q"
            onActivated: window.panel.quit()
        }
        Shortcut {
            sequence: "Ctrl+N"
            onActivated: window.panel.openNew()
        }
        Shortcut {
            // Overlays answer Escape themselves.
            sequence: "Esc"
            enabled: window.panel.addFieldFocused && !window.overlayShowing
            onActivated: window.panel.cancelAddField()
        }
    }
}
