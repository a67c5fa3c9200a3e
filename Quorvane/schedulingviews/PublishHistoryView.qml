// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
import QtQuick
import QtQuick.Controls
import Quorvane.Kit
import Quorvane.Scheduling

// The finished publishes, one card each, with the outcome a tapped notification asked to show
// above them. It reads the history again each time it comes on screen.
Column {
    id: view

    // The presenter (PublishHistoryPresenter) over the schedule store.
    required property QtObject presenter
    signal back()

    spacing: 10
    Component.onCompleted: presenter.load()

    AbstractButton {
        objectName: "backButton"
        topPadding: 10
        implicitWidth: backRow.implicitWidth
        implicitHeight: backRow.implicitHeight + topPadding
        onClicked: view.back()
        HoverHandler { cursorShape: Qt.PointingHandCursor }
        contentItem: Row {
            id: backRow
            spacing: 6
            MicroIcon { symbol: "chevron.left"; size: 13.75; anchors.verticalCenter: parent.verticalCenter }
            Text {
                text: "Previous publishes"
                font.pixelSize: 15
                font.weight: Font.DemiBold
                color: KitPalette.primaryLabel(KitEnvironment.scheme)
            }
        }
    }

    GlassCard {
        objectName: "focusedOutcome"
        visible: view.presenter.hasFocusedItem
        width: view.width
        padding: 12
        Accessible.role: Accessible.StaticText
        Accessible.name: "Selected publish outcome. " + view.presenter.focusedMessage

        Column {
            width: parent.width
            spacing: 6
            Text {
                text: view.presenter.focusedTitle
                font.pixelSize: 15
                font.weight: Font.DemiBold
                color: KitPalette.primaryLabel(KitEnvironment.scheme)
            }
            Text {
                width: parent.width
                text: view.presenter.focusedMessage
                textFormat: Text.PlainText
                wrapMode: Text.Wrap
                font.pixelSize: 11
                color: KitPalette.primaryLabel(KitEnvironment.scheme)
            }
            KitText {
                text: view.presenter.focusedDate
                size: 10.5
                color: KitPalette.secondaryLabel(KitEnvironment.scheme)
            }
        }
    }

    Repeater {
        model: view.presenter.contentName === "cards" ? view.presenter.records : []
        GlassCard {
            id: record
            required property var modelData
            width: view.width
            padding: 12

            Column {
                width: parent.width
                spacing: 8

                Row {
                    width: parent.width
                    spacing: 6
                    Text {
                        width: parent.width - badge.width - 6
                        anchors.verticalCenter: parent.verticalCenter
                        text: record.modelData.siteName
                        textFormat: Text.PlainText
                        elide: Text.ElideRight
                        font.pixelSize: 15
                        font.weight: Font.Medium
                        color: KitPalette.primaryLabel(KitEnvironment.scheme)
                    }
                    Rectangle {
                        id: badge
                        readonly property color tint: record.modelData.badgeColour === "green"
                            ? KitPalette.systemGreen(KitEnvironment.scheme)
                            : record.modelData.badgeColour === "red" ? KitPalette.systemRed(KitEnvironment.scheme)
                                                                     : KitPalette.systemOrange(KitEnvironment.scheme)
                        anchors.verticalCenter: parent.verticalCenter
                        width: badgeText.implicitWidth + 16
                        height: badgeText.implicitHeight + 4
                        radius: height / 2
                        color: Qt.rgba(tint.r, tint.g, tint.b, 0.14)
                        KitText {
                            id: badgeText
                            anchors.centerIn: parent
                            text: record.modelData.badgeText
                            size: 10.5
                            weight: Font.Medium
                            color: badge.tint
                        }
                    }
                }
                Column {
                    width: parent.width
                    spacing: 4
                    DetailRow { width: parent.width; symbol: "calendar"; text: record.modelData.timeText; maximumLineCount: 2 }
                    Repeater {
                        model: record.modelData.domains
                        DetailRow {
                            required property string modelData
                            width: parent.width
                            symbol: "web"
                            text: modelData
                            maximumLineCount: 2
                        }
                    }
                    DetailRow {
                        visible: record.modelData.failure !== ""
                        width: parent.width
                        symbol: "info.circle"
                        text: record.modelData.failure
                        maximumLineCount: 2
                    }
                }
            }
        }
    }

    BusyIndicator {
        objectName: "loadingIndicator"
        visible: view.presenter.contentName === "loading"
        running: visible
        anchors.horizontalCenter: parent.horizontalCenter
        topPadding: 40
        Accessible.name: "Loading publish history…"
    }

    Text {
        objectName: "emptyNote"
        visible: view.presenter.contentName === "empty"
        width: view.width
        topPadding: 40
        horizontalAlignment: Text.AlignHCenter
        text: "No publishes have run yet."
        font.pixelSize: 11
        color: KitPalette.secondaryLabel(KitEnvironment.scheme)
    }

    Column {
        objectName: "failure"
        visible: view.presenter.contentName === "failed"
        width: view.width
        topPadding: 40
        spacing: 10
        Text {
            width: parent.width
            horizontalAlignment: Text.AlignHCenter
            text: view.presenter.failureMessage
            textFormat: Text.PlainText
            wrapMode: Text.Wrap
            font.pixelSize: 11
            color: KitPalette.secondaryLabel(KitEnvironment.scheme)
        }
        PillButton {
            objectName: "tryAgain"
            anchors.horizontalCenter: parent.horizontalCenter
            text: "Try Again"
            onClicked: view.presenter.load()
        }
    }
}
