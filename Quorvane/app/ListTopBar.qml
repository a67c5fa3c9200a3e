// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
import QtQuick
import Quorvane
import Quorvane.Kit

// The bar above the Connections and Page Status lists: the first-run card while there is no
// project yet, cross-faded with the row of the search pill and the Add New button.
Item {
    id: bar

    required property AppModel model
    required property PanelState panel

    readonly property bool firstRun: tab.showsFirstRunCard
    // The bar's own height: fixed to one pill's while the row shows, the card's while it does.
    readonly property real contentHeight: firstRun ? card.implicitHeight : 27

    width: parent ? parent.width : implicitWidth
    implicitWidth: 400
    implicitHeight: 12 + contentHeight + (firstRun ? 8 : 12)

    // The first-run condition becoming true waits a moment, so the row can fade first.
    Behavior on implicitHeight {
        enabled: !KitEnvironment.reduceMotion
        SequentialAnimation {
            PauseAnimation { duration: bar.firstRun ? 84 : 0 }
            NumberAnimation { duration: 260; easing.type: Easing.OutCubic }
        }
    }

    ConnectionsTabState {
        id: tab
        model: bar.model
        searchText: bar.panel.searchText
    }
    AddFieldState {
        id: addField
        model: bar.model
    }

    // Opens or closes the add field; an opened field takes the keyboard focus.
    function toggleAddField() {
        if (addField.toggle())
            bar.panel.addFieldFocused = true
    }

    component KeyHint: Item {
        id: hint
        property string keys
        property color textColor
        implicitWidth: hintText.implicitWidth + 8
        implicitHeight: hintText.implicitHeight + 3
        opacity: 0.85

        Rectangle {
            anchors.fill: parent
            radius: height / 2
            color: Qt.rgba(hint.textColor.r, hint.textColor.g, hint.textColor.b, 0.10)
        }
        KitText {
            id: hintText
            anchors.centerIn: parent
            text: hint.keys
            size: 9.5
            weight: Font.Medium
            color: hint.textColor
        }
    }

    Item {
        id: block
        x: 14
        y: 12
        width: bar.width - 28
        height: bar.contentHeight
        clip: false

        SmallCard {
            id: card
            objectName: "firstRunCard"
            width: parent.width
            tone: SmallCardStyle.Neutral
            emphasis: SmallCardStyle.Feature
            chevron: true
            prominentIcon: true
            actionable: true
            symbol: tab.firstRunSymbol
            heading: tab.firstRunHeading
            detail: tab.firstRunDetail
            opacity: bar.firstRun ? 1 : 0
            visible: opacity > 0
            enabled: bar.firstRun
            onActivated: {
                if (tab.firstRunSignsIn) {
                    tab.signInToClaude()
                } else {
                    addField.open()
                    bar.panel.addFieldFocused = true
                }
            }

            Behavior on opacity {
                enabled: !KitEnvironment.reduceMotion
                SequentialAnimation {
                    PauseAnimation { duration: bar.firstRun ? 266 : 0 }
                    NumberAnimation { duration: bar.firstRun ? 360 : 240; easing.type: Easing.OutCubic }
                }
            }
        }

        Item {
            id: row
            objectName: "searchRow"
            width: parent.width
            height: 27
            opacity: bar.firstRun ? 0 : 1
            visible: opacity > 0
            enabled: !bar.firstRun

            Behavior on opacity {
                enabled: !KitEnvironment.reduceMotion
                SequentialAnimation {
                    PauseAnimation { duration: bar.firstRun ? 0 : 192 }
                    NumberAnimation { duration: bar.firstRun ? 240 : 325; easing.type: Easing.OutCubic }
                }
            }

            Item {
                id: search
                objectName: "searchPill"
                width: 180
                height: 27
                readonly property color textColor: KitEnvironment.dark ? Qt.rgba(1, 1, 1, 0.88) : Qt.rgba(0, 0, 0, 0.75)

                GlassPillBackdrop {
                    anchors.fill: parent
                    tint: searchPointer.containsMouse ? Pill.hoveredPillTint(KitEnvironment.scheme)
                                                      : Pill.restingPillTint(KitEnvironment.scheme)
                }
                GlassRim {
                    anchors.fill: parent
                    radius: height / 2
                    intensity: 1
                    scheme: KitEnvironment.scheme
                }
                // A click anywhere on the pill puts the caret in the field.
                MouseArea {
                    id: searchPointer
                    anchors.fill: parent
                    hoverEnabled: true
                    cursorShape: Qt.IBeamCursor
                    onClicked: searchInput.forceActiveFocus()
                }

                Row {
                    x: 10
                    width: parent.width - 20
                    height: parent.height
                    spacing: 8

                    MicroIcon {
                        anchors.verticalCenter: parent.verticalCenter
                        symbol: "magnifyingglass"
                        size: 13.75
                        color: KitPalette.secondaryLabel(KitEnvironment.scheme)
                    }
                    TextInput {
                        id: searchInput
                        objectName: "searchField"
                        anchors.verticalCenter: parent.verticalCenter
                        width: parent.width - 13.75 - trailing.width - 2 * parent.spacing
                        text: bar.panel.searchText
                        font.pixelSize: 11
                        color: search.textColor
                        clip: true
                        Accessible.role: Accessible.EditableText
                        Accessible.name: "Search"

                        onTextEdited: bar.panel.searchText = text
                        onActiveFocusChanged: if (bar.panel.searchFocused !== activeFocus) bar.panel.searchFocused = activeFocus
                        Keys.onEscapePressed: (event) => {
                            bar.panel.searchText = ""
                            searchInput.focus = false
                            bar.panel.searchFocused = false
                            event.accepted = true
                        }

                        Text {
                            anchors.verticalCenter: parent.verticalCenter
                            visible: searchInput.text === ""
                            text: "Search"
                            textFormat: Text.PlainText
                            font: searchInput.font
                            color: KitPalette.tertiaryLabel(KitEnvironment.scheme)
                        }
                    }
                    Item {
                        id: trailing
                        anchors.verticalCenter: parent.verticalCenter
                        width: bar.panel.searchText === "" ? hintF.implicitWidth : 13.75
                        height: 13.75

                        KeyHint {
                            id: hintF
                            anchors.verticalCenter: parent.verticalCenter
                            visible: bar.panel.searchText === ""
                            keys: "Ctrl+F"
                            textColor: search.textColor
                        }
                        MicroIcon {
                            objectName: "clearSearch"
                            visible: bar.panel.searchText !== ""
                            symbol: "xmark.circle.fill"
                            size: 13.75
                            color: KitPalette.secondaryLabel(KitEnvironment.scheme)
                            Accessible.role: Accessible.Button
                            Accessible.name: "Clear search"
                            Accessible.onPressAction: bar.panel.searchText = ""

                            MouseArea {
                                anchors.fill: parent
                                anchors.margins: -4
                                cursorShape: Qt.PointingHandCursor
                                onClicked: bar.panel.searchText = ""
                            }
                        }
                    }
                }
            }

            PressablePill {
                id: addNew
                objectName: "addNewButton"
                anchors.right: parent.right
                anchors.verticalCenter: parent.verticalCenter
                // The add field keeps its focus, so Cancel never reads as leaving an empty field.
                focusPolicy: Qt.NoFocus
                text: bar.model.adding.showingAdd ? "Cancel" : "Add New"
                enabled: addField.addNewEnabled
                onClicked: bar.toggleAddField()

                contentItem: Item {
                    readonly property color textColor: Pill.labelTextColor(Pill.Light, addNew.hovering, KitEnvironment.scheme)
                    implicitWidth: addRow.implicitWidth + 18
                    implicitHeight: Pill.height
                    opacity: addNew.enabled ? 1 : Pill.disabledOpacity

                    GlassPillBackdrop {
                        anchors.fill: parent
                        tint: Pill.labelTint(Pill.Light, true, addNew.hovering, KitEnvironment.scheme)
                    }
                    GlassRim {
                        anchors.fill: parent
                        radius: height / 2
                        scheme: KitEnvironment.scheme
                    }
                    Row {
                        id: addRow
                        anchors.centerIn: parent
                        spacing: 4

                        MicroIcon {
                            anchors.verticalCenter: parent.verticalCenter
                            visible: bar.model.adding.showingAdd
                            symbol: "xmark"
                            size: 9
                            color: parent.parent.textColor
                        }
                        Text {
                            anchors.verticalCenter: parent.verticalCenter
                            text: addNew.text
                            textFormat: Text.PlainText
                            font.pixelSize: 11
                            font.weight: Font.Medium
                            color: parent.parent.textColor
                        }
                        KeyHint {
                            anchors.verticalCenter: parent.verticalCenter
                            visible: !bar.model.adding.showingAdd
                            keys: "Ctrl+N"
                            textColor: parent.parent.textColor
                        }
                    }
                }
            }
        }
    }

    // Ctrl+F acts on the bar that shows; the panel binds Ctrl+N once for every tab.
    Connections {
        target: bar.panel
        function onSearchFocusedChanged() {
            if (bar.panel.searchFocused && bar.visible && !searchInput.activeFocus)
                searchInput.forceActiveFocus()
        }
    }
}
