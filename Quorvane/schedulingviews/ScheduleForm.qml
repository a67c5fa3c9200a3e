// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
import QtQuick
import QtQuick.Controls
import Quorvane.Kit
import Quorvane.Scheduling

// The schedule form's card: title, site, time, zone, targets, paranoid mode, the error of the
// last submission and the submit button. Every value and decision comes from the form
// controller (ScheduleFormController); this only lays it out.
GlassCard {
    id: card

    required property QtObject form

    padding: 12

    Column {
        width: card.availableWidth
        spacing: 10

        Rectangle {
            readonly property bool dark: KitEnvironment.dark
            width: parent.width
            height: title.implicitHeight + 20
            radius: 8
            color: dark ? Qt.rgba(0.59, 0.48, 0.94, 0.14) : Qt.rgba(0.41, 0.26, 0.84, 0.08)
            border.width: 1
            border.color: dark ? Qt.rgba(0.59, 0.48, 0.94, 0.45) : Qt.rgba(0.41, 0.26, 0.84, 0.35)

            Text {
                id: title
                objectName: "formTitle"
                x: 12
                y: 10
                width: parent.width - 24
                text: card.form.title
                textFormat: Text.PlainText
                wrapMode: Text.Wrap
                font.pixelSize: 15
                font.weight: Font.Medium
                color: KitPalette.primaryLabel(KitEnvironment.scheme)
            }
        }

        Column {
            width: parent.width
            spacing: 4
            topPadding: 8

            Item {
                width: parent.width
                height: sitePill.implicitHeight
                FieldLabel { text: "Site"; anchors.verticalCenter: parent.verticalCenter }
                PillButton {
                    id: sitePill
                    objectName: "sitePill"
                    anchors.right: parent.right
                    text: card.form.siteLabel
                    symbol: "chevron.up.chevron.down"
                    enabled: card.form.sitePillEnabled
                    onClicked: siteMenu.popup(sitePill, sitePill.width - siteMenu.width, sitePill.height + 4)

                    Menu {
                        id: siteMenu
                        objectName: "siteMenu"
                        Repeater {
                            model: card.form.siteMenu
                            MenuItem {
                                required property var modelData
                                required property int index
                                text: modelData.title
                                enabled: modelData.enabled
                                onTriggered: card.form.chooseSiteMenuItem(index)
                            }
                        }
                    }
                }
            }
            KitText {
                visible: card.form.noProjects
                width: parent.width
                text: "No connected sites yet. Add a Webflow project on the Connections tab first."
                wrapMode: Text.Wrap
                size: 10.5
                color: KitPalette.secondaryLabel(KitEnvironment.scheme)
            }
        }

        Divider {}

        Item {
            width: parent.width
            height: picker.implicitHeight
            FieldLabel { text: "Publish at"; anchors.verticalCenter: parent.verticalCenter }
            DateTimePillPicker {
                id: picker
                objectName: "publishAtPicker"
                anchors.right: parent.right
                date: card.form.publishAt
                minimumDate: card.form.minimumDate()
                onCommitted: (chosen) => card.form.publishAt = chosen
            }
        }

        Divider {}

        Item {
            width: parent.width
            height: 16
            Row {
                spacing: 5
                anchors.verticalCenter: parent.verticalCenter
                FieldLabel { text: "Time zone" }
                MicroIcon {
                    symbol: "lock.fill"
                    size: 11.5
                    color: KitPalette.tertiaryLabel(KitEnvironment.scheme)
                    anchors.verticalCenter: parent.verticalCenter
                }
            }
            FieldLabel {
                anchors.right: parent.right
                anchors.verticalCenter: parent.verticalCenter
                text: card.form.timeZoneLabel
            }
        }

        Divider {}

        Column {
            width: parent.width
            spacing: 4

            FieldLabel { text: "Publish to"; bottomPadding: card.form.hasSite ? 6 : 0 }
            Repeater {
                model: card.form.hasSite ? card.form.targets : []
                DialogCheckbox {
                    required property var modelData
                    text: modelData.url
                    checked: modelData.ticked
                    onToggled: card.form.setDomainTicked(modelData.id, checked)
                }
            }
            KitText {
                visible: card.form.targetsNote !== ""
                width: parent.width
                text: card.form.targetsNote
                wrapMode: Text.Wrap
                size: 10.5
                color: KitPalette.secondaryLabel(KitEnvironment.scheme)
            }
        }

        ModeToggleCard {
            width: parent.width
            isOn: card.form.skipIfChanged
            onToggled: (on) => card.form.skipIfChanged = on
            onSymbol: "incognito-mode"
            offSymbol: "smiley-happy"
            onHeading: "Paranoid mode is on"
            offHeading: "Paranoid mode is off"
            detail: "If paranoid mode is turned on, the publish is skipped if the site is edited after you set this schedule."
            isAvailable: card.form.paranoidModeAvailable
            unavailableDetail: "Connect publishing for this site to use paranoid mode."
            accessibilityLabel: "Paranoid mode"
        }

        SmallCard {
            objectName: "errorCard"
            visible: card.form.hasError
            width: parent.width
            symbol: "exclamationmark.triangle.fill"
            heading: card.form.errorHeading
            detail: card.form.errorMessage
            tone: SmallCardStyle.Warning
            trailing: Component {
                SmallCardLink {
                    objectName: "refreshQueueLink"
                    visible: card.form.errorCanRefresh
                    text: "Refresh Queue"
                    tone: SmallCardStyle.Warning
                    onClicked: card.form.refreshUncertainOutcome()
                }
            }
        }

        Item {
            width: parent.width
            height: submit.implicitHeight
            PillButton {
                id: submit
                objectName: "submitButton"
                anchors.right: parent.right
                text: "Schedule Site Publish"
                variant: Pill.Prominent
                enabled: card.form.submitEnabled
                onClicked: card.form.confirmSchedule()
            }
        }
    }

    component FieldLabel: Text {
        textFormat: Text.PlainText
        font.pixelSize: 11
        color: KitPalette.secondaryLabel(KitEnvironment.scheme)
    }

    component Divider: Rectangle {
        width: parent ? parent.width : 0
        height: 1
        color: KitPalette.faded(KitPalette.ink(KitEnvironment.scheme), 0.1)
    }
}
