// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
import QtQuick
import Quorvane.Kit
import Quorvane.Panel

// The explanation page of the Page Status tab: what the markers mean, what Quorvane promises to
// change and not to change, and the one setting of the feature.
Column {
    id: page

    // Whether new projects start with Page Status on; the panel keeps it in the user defaults.
    property bool enableNewProjectsByDefault: false
    // The switch was flipped; the panel stores the new value.
    signal enableNewProjectsByDefaultToggled(bool on)
    // The back button.
    signal back()

    spacing: 10
    topPadding: 10

    Item {
        width: page.width
        height: backButton.implicitHeight

        PillButton {
            id: backButton
            objectName: "backButton"
            text: "Page Status"
            symbol: "chevron.left"
            variant: Pill.Light
            horizontal: 12
            lifted: true
            onClicked: page.back()
        }
    }

    GlassCard {
        width: page.width
        padding: 12

        Column {
            width: parent.width
            spacing: 10

            Text {
                objectName: "heading"
                width: parent.width
                text: "See publish state in Webflow"
                textFormat: Text.PlainText
                font.pixelSize: 17
                font.weight: Font.DemiBold
                color: PageStatusStyle.strongText(KitEnvironment.scheme)
                wrapMode: Text.Wrap
            }
            Text {
                width: parent.width
                text: "Quorvane adds a 🟡 or 🟣 marker at the beginning of each supported page name in Webflow's Pages panel. Anyone preparing a publish can then see at a glance whether the page's newest changes are still queued or have reached staging."
                textFormat: Text.PlainText
                font.pixelSize: 11
                color: KitPalette.secondaryLabel(KitEnvironment.scheme)
                wrapMode: Text.Wrap
            }
            Column {
                width: parent.width

                PageStatusLegendEntry {
                    width: parent.width
                    marker: "🟡"
                    title: "Queued"
                    detail: "This page has changes waiting for its next staging publish."
                }
                Item {
                    width: parent.width
                    height: 17

                    Rectangle {
                        objectName: "divider"
                        y: 8
                        width: parent.width
                        height: 1
                        // The separator colour, itself faint, at the legend's opacity.
                        color: KitPalette.faded(KitPalette.ink(KitEnvironment.scheme), 0.25)
                        opacity: PageStatusStyle.dividerOpacity(KitEnvironment.scheme)
                    }
                }
                PageStatusLegendEntry {
                    width: parent.width
                    marker: "🟣"
                    title: "Staged"
                    detail: "This page's latest changes have reached staging, but not production."
                }
            }
        }
    }

    ModeToggleCard {
        objectName: "defaultToggle"
        width: page.width
        isOn: page.enableNewProjectsByDefault
        onSymbol: "lock.open"
        offSymbol: "lock.fill"
        onHeading: "New projects default on"
        offHeading: "New projects default off"
        detail: "When on, each new project starts the guarded Page Status setup after its Webflow site is verified. Existing projects are unchanged."
        isAvailable: true
        accessibilityLabel: "Enable Page Status by default for new projects"
        onToggled: (on) => page.enableNewProjectsByDefaultToggled(on)
    }

    SmallCard {
        width: page.width
        symbol: "large.padlock"
        heading: "Only its own page-name marker"
        detail: "Quorvane changes only the page-name prefix it owns, never slugs, SEO, page content, folders, production publishing, or an existing look-alike marker it cannot prove it added."
    }
    SmallCard {
        width: page.width
        symbol: "large.recycle-bin"
        heading: "Turning it off includes cleanup"
        detail: "The toggle does not claim to be off until Quorvane has removed its owned markers. If Webflow is unavailable or a page changed unexpectedly, the project stays visible as needing attention instead of guessing."
    }

    KitText {
        x: 4
        width: page.width - 8
        text: "Page Status currently supports static pages. CMS templates, localization, and branches are not supported yet."
        size: 10.5
        color: KitPalette.secondaryLabel(KitEnvironment.scheme)
        wrapMode: Text.Wrap
    }
}
