// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
import QtQuick
import QtQuick.Controls
import QtQuick.Templates as T
import Quorvane.Kit
import Quorvane.Panel

// One project's row of the Page Status tab: whether Page Status is set up for its site and, while
// it runs, the queued and staged counts. It only reads: the switch and "Reconnect" start nothing.
GlassCard {
    id: card

    // The application model: `pageStatus` and `siteDirectory`.
    required property var model
    required property string title
    // The project's bound site id; empty when it has none.
    property string siteId
    property string mcpName
    // The project's Webflow button, drawn after the title; the panel hands it in.
    property Component webflowButton: null

    padding: 12

    PageStatusRowState {
        id: row
        store: card.model.pageStatus
        siteDirectory: card.model.siteDirectory
        projectSiteId: card.siteId
        mcpName: card.mcpName
    }

    Column {
        width: card.availableWidth
        spacing: 8

        Row {
            id: header
            width: parent.width
            spacing: 8

            Text {
                id: titleText
                objectName: "title"
                anchors.verticalCenter: parent.verticalCenter
                anchors.verticalCenterOffset: -1
                leftPadding: 2.5
                width: Math.min(implicitWidth, header.width - trailing.width - buttonSlot.width - 2 * header.spacing - 8)
                text: card.title
                textFormat: Text.PlainText
                font.pixelSize: 17
                color: KitPalette.ink(KitEnvironment.scheme)
                elide: Text.ElideRight
                maximumLineCount: 1

                HoverHandler { id: titleHover }
                ToolTip.visible: titleHover.hovered
                ToolTip.text: card.title
                ToolTip.delay: 500
            }
            Loader {
                id: buttonSlot
                anchors.verticalCenter: parent.verticalCenter
                active: card.webflowButton !== null
                sourceComponent: card.webflowButton
                width: item ? item.implicitWidth : 0
            }
            Item {
                width: Math.max(8, header.width - titleText.width - buttonSlot.width - trailing.width - 3 * header.spacing)
                height: 1
            }
            Row {
                id: trailing
                anchors.verticalCenter: parent.verticalCenter
                spacing: 8

                Spinner {
                    objectName: "progress"
                    anchors.verticalCenter: parent.verticalCenter
                    visible: row.showsProgress
                }
                T.Switch {
                    id: toggle
                    objectName: "pageStatusSwitch"
                    anchors.verticalCenter: parent.verticalCenter
                    checked: row.switchOn
                    enabled: row.switchEnabled
                    padding: 0
                    implicitWidth: 26
                    implicitHeight: 15
                    opacity: enabled ? 1 : Pill.disabledOpacity
                    Accessible.name: "Page Status for " + card.title
                    // No flow stands behind the switch yet: a flip is dropped and the switch
                    // shows the site's state again.
                    onToggled: checked = Qt.binding(() => row.switchOn)

                    indicator: Rectangle {
                        width: 26
                        height: 15
                        radius: height / 2
                        color: toggle.checked ? KitPalette.brand(KitEnvironment.scheme)
                                              : KitPalette.faded(KitPalette.ink(KitEnvironment.scheme), 0.2)

                        Rectangle {
                            x: toggle.checked ? parent.width - width - 2 : 2
                            anchors.verticalCenter: parent.verticalCenter
                            width: 11
                            height: 11
                            radius: width / 2
                            color: "white"
                        }
                    }
                }
            }
        }

        // Queued and staged counts, with the phase's text at the end.
        Item {
            objectName: "counts"
            width: parent.width
            height: queued.implicitHeight
            visible: row.detail === PageStatusRowState.Counts

            Row {
                spacing: 6

                PageStatusMarkerPill {
                    id: queued
                    objectName: "queuedPill"
                    marker: PageStatusStyle.queuedMarker()
                    text: row.queuedText
                }
                PageStatusMarkerPill {
                    objectName: "stagedPill"
                    marker: PageStatusStyle.stagedMarker()
                    text: row.stagedText
                }
            }
            KitText {
                objectName: "phaseText"
                anchors.right: parent.right
                anchors.verticalCenter: parent.verticalCenter
                visible: text !== ""
                text: row.phaseText
                size: 10.5
                color: KitPalette.secondaryLabel(KitEnvironment.scheme)
            }
        }

        KitText {
            objectName: "authorizationNote"
            width: parent.width
            visible: row.detail === PageStatusRowState.AuthorizationNote
            text: "Finish the Page Status authorization in your browser."
            size: 10.5
            color: KitPalette.secondaryLabel(KitEnvironment.scheme)
            wrapMode: Text.Wrap
        }
        KitText {
            objectName: "removalNote"
            width: parent.width
            visible: row.detail === PageStatusRowState.RemovalNote
            text: "Removing Quorvane-owned markers before turning off…"
            size: 10.5
            color: KitPalette.secondaryLabel(KitEnvironment.scheme)
            wrapMode: Text.Wrap
        }
        Column {
            objectName: "accessEnded"
            width: parent.width
            visible: row.detail === PageStatusRowState.AccessEnded
            spacing: 8

            KitText {
                objectName: "accessEndedText"
                width: parent.width
                text: row.accessEndedText
                size: 10.5
                color: KitPalette.systemOrange(KitEnvironment.scheme)
                wrapMode: Text.Wrap
            }
            Item {
                width: parent.width
                height: reconnect.implicitHeight

                // No flow stands behind it yet: pressing it changes nothing.
                PillButton {
                    id: reconnect
                    objectName: "reconnectButton"
                    anchors.right: parent.right
                    text: "Reconnect"
                    variant: Pill.Light
                    horizontal: 9
                    lifted: true
                }
            }
        }
        KitText {
            objectName: "verificationWarning"
            width: parent.width
            visible: row.detail === PageStatusRowState.VerificationWarning
            text: "Marker state could not be verified. No further page-name writes will run until it is resolved."
            size: 10.5
            color: KitPalette.systemOrange(KitEnvironment.scheme)
            wrapMode: Text.Wrap
        }
    }
}
