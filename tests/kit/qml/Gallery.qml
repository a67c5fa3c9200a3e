// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
import QtQuick
import Quorvane.Kit

// Every kit component once, for a person to look at in both schemes.
Item {
    id: gallery

    width: 760
    height: 1040

    GlassPanelBackground {
        anchors.fill: parent
    }

    ShimmerField {
        anchors.fill: parent
        paused: true
        scheme: KitEnvironment.scheme
        tracker: ShimmerTracker {}
    }

    Column {
        x: 16
        y: 16
        width: 360
        spacing: 10

        Row {
            spacing: 8
            PillButton { text: "Light" }
            PillButton { text: "Lifted"; lifted: true }
            PillButton { text: "Prominent"; variant: Pill.Prominent }
            PillButton { text: "Danger"; variant: Pill.Danger }
        }
        Row {
            spacing: 8
            PillButton { text: "Schedule"; symbol: "calendar" }
            PillButton { text: "Disabled"; enabled: false }
            CircleIconButton { symbol: "gearshape" }
            CircleIconButton { symbol: "ellipsis"; quiet: true }
            CircleIconButton { symbol: "trash"; destructiveHover: true }
            QuietCloseButton { help: "Close"; anchors.verticalCenter: parent.verticalCenter }
            Spinner { anchors.verticalCenter: parent.verticalCenter }
        }
        Row {
            spacing: 8
            ReportButton { text: "Report to Developer" }
            ReportButton { text: "Sending…"; busy: true; enabled: false }
            DialogButton { text: "Working"; busy: true; width: 110 }
        }
        GlassCard {
            padding: 10
            Text { text: "A glass card"; font.pixelSize: 11; color: KitPalette.ink(KitEnvironment.scheme) }
        }
        SmallCard {
            width: parent.width
            symbol: "cloud-off"
            heading: "Cloud unreachable"
            detail: "Publishes already scheduled still fire from the cloud."
            trailing: Component { SmallCardLink { text: "Retry"; tone: SmallCardStyle.Neutral } }
        }
        SmallCard {
            width: parent.width
            symbol: "checkmark.icloud"
            heading: "Cloud scheduling"
            detail: "Publishes fire from our servers."
            tone: SmallCardStyle.Brand
            trailing: Component { SmallCardLink { text: "Details" } }
        }
        SmallCard {
            width: parent.width
            symbol: "exclamationmark.triangle.fill"
            heading: "Couldn't sync"
            tone: SmallCardStyle.Warning
            trailing: Component { SmallCardLink { text: "Retry"; tone: SmallCardStyle.Warning } }
        }
        SmallCard {
            width: parent.width
            symbol: "clock"
            heading: "Schedule a site publish"
            detail: "Pick a site, a time, and the domains to publish to."
            emphasis: SmallCardStyle.Feature
            prominentIcon: true
            chevron: true
            actionable: true
        }
        ModeToggleCard {
            width: parent.width
            onSymbol: "incognito-mode"
            offSymbol: "smiley-happy"
            onHeading: "Paranoid mode on"
            offHeading: "Paranoid mode off"
            detail: "Skips the publish if the site changed first."
        }
        ModeToggleCard {
            width: parent.width
            isOn: true
            isAvailable: false
            onSymbol: "lock.open"
            offSymbol: "lock.fill"
            onHeading: "Page Status on"
            offHeading: "Page Status off"
            detail: "Markers show queued and staged changes."
            unavailableDetail: "Sign in to change this."
        }
        FadeThenCollapse {
            width: parent.width
            isPresented: true
            SmallCard { symbol: "sparkles"; heading: "What's new"; tone: SmallCardStyle.Brand }
        }
        Row {
            spacing: 6
            Wordmark { markHeight: 14 }
            Text { text: "made by"; font.pixelSize: 11; color: KitPalette.secondaryLabel(KitEnvironment.scheme) }
        }
        Flow {
            width: parent.width
            spacing: 6
            Repeater {
                model: ["xmark", "checkmark", "chevron.right", "gearshape", "magnifyingglass", "sparkles", "clock",
                        "calendar", "web", "link", "trash", "info.circle", "lock.fill", "doc.on.doc",
                        "person.crop.circle", "bell.badge", "webflow-logo", "globe-app-network", "cloud-off",
                        "warning-triangle", "recycle-bin", "power-off", "xmark.circle.fill", "plus.circle.fill"]
                MicroIcon { required property string modelData; symbol: modelData; size: 16 }
            }
        }
    }

    Column {
        x: 392
        y: 16
        width: 352
        spacing: 0

        Column {
            ConnectingPillContent { title: "Acme Marketing Site" }
            ConnectingPillContent { title: "Acme"; connected: true }
        }
        EmptyState { width: parent.width; icon: "smiley-drop"; message: "No connected Webflow sites." }
        EmptyState {
            width: parent.width
            icon: "time-history-off"
            message: "No scheduled publishes."
            actionLabel: "Schedule one"
            hasAction: true
        }
        Item {
            width: parent.width
            height: 560

            DialogShell {
                anchors.fill: parent
                dialogWidth: DialogStyle.Compact
                dismissible: true

                DialogIcon { name: "mail-send" }
                DialogHeading { text: "Check your e-mail" }
                DialogSubheading { text: "We sent a code to you.\nIt works for ten minutes.\n\nType it here." }
                DialogCheckbox { text: "Send me product news"; checked: true }
                DialogCheckbox { text: "Remember this computer" }
                DialogButtonRow {
                    DialogButton { text: "Cancel"; variant: DialogStyle.Secondary }
                    DialogButton { text: "Remove"; variant: DialogStyle.Destructive }
                }
            }
        }
    }
}
