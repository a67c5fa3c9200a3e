// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
import QtQuick
import Quorvane
import Quorvane.Kit
import Quorvane.Onboarding

// The top of the Connections column, in a fixed order: the what's-new card, the notices (claude
// signed out, the claude command line, changes that may not be saved, a Webflow reset), then the
// Add New card. A notice shows while its condition holds and takes no space otherwise.
Column {
    id: column

    required property AppModel model
    required property PanelState panel
    // One set of decisions for the whole tab, so its rows and its empty state never disagree.
    required property ConnectionsTabState tabState
    width: parent ? parent.width : implicitWidth
    spacing: 10

    // The release notes of the running version.
    Component {
        id: releaseNotes

        WhatsNewCard {
            lines: column.model.whatsNew
            version: AboutContent.appVersion
            onDismiss: column.model.dismissWhatsNew()
        }
    }

    FadeThenCollapse {
        objectName: "whatsNewRow"
        width: column.width
        isPresented: column.tabState.showsWhatsNew
        content: releaseNotes
    }

    SmallCard {
        objectName: "claudeSignedOutNotice"
        width: column.width
        visible: column.tabState.showsClaudeSignedOut
        tone: SmallCardStyle.Warning
        symbol: "person.crop.circle.badge.exclamationmark"
        heading: "Claude Code is signed out"
        detail: "Scope checks can't run until it's signed in."
        footer: Component {
            Row {
                spacing: 6

                PillButton {
                    objectName: "signInButton"
                    variant: Pill.Prominent
                    horizontal: 12
                    text: "Sign in"
                    enabled: !column.tabState.signingIn
                    onClicked: column.tabState.signInToClaude()
                }
                PillButton {
                    objectName: "recheckButton"
                    variant: Pill.Light
                    horizontal: 12
                    text: "Recheck"
                    onClicked: column.tabState.recheckClaudeAuth()
                }
            }
        }
    }

    SmallCard {
        objectName: "claudeCLINotice"
        width: column.width
        visible: column.tabState.showsCLINotice
        tone: SmallCardStyle.Warning
        symbol: "exclamationmark.triangle.fill"
        heading: column.tabState.cliNoticeHeading
        detail: column.tabState.cliNoticeDetail
    }

    SmallCard {
        objectName: "persistenceNotice"
        width: column.width
        visible: column.tabState.showsPersistenceIssue
        tone: SmallCardStyle.Warning
        symbol: "externaldrive.badge.exclamationmark"
        heading: "Changes may not be saved"
        detail: column.model.persistenceIssue
    }

    SmallCard {
        objectName: "webflowResetNotice"
        width: column.width
        visible: column.tabState.showsWebflowReset
        tone: SmallCardStyle.Warning
        symbol: "cloud-off"
        heading: "Webflow connection reset required"
        detail: "An authorization may exist that Quorvane did not receive. Publishing is disabled until "
                + "Webflow access is removed and each needed site is reconnected."
        trailing: Component {
            PressablePill {
                id: review
                objectName: "reviewButton"
                text: "Review"
                onClicked: column.model.publishing.offerWebflowConnectionReset()

                contentItem: Text {
                    text: review.text
                    textFormat: Text.PlainText
                    verticalAlignment: Text.AlignVCenter
                    leftPadding: 8
                    rightPadding: 8
                    font.pixelSize: 11
                    font.weight: Font.Medium
                    color: KitPalette.linkText(KitEnvironment.scheme)
                }
            }
        }
    }

    FadeThenCollapse {
        objectName: "addNewRow"
        width: column.width
        isPresented: column.model.adding.showingAdd
        content: Component {
            AddNewCard {
                model: column.model
                panel: column.panel
            }
        }
    }
}
