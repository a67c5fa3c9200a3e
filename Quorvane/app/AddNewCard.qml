// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
import QtQuick
import Quorvane
import Quorvane.Kit

// The Add New card: the name field with its Add button, the line that tells which server the
// name reserves (or why the last add failed) and the warning about a name already taken.
// Escape anywhere in it empties and closes it, unless an add runs.
FocusScope {
    id: card

    required property AppModel model
    required property PanelState panel

    width: parent ? parent.width : implicitWidth
    implicitWidth: 320
    implicitHeight: column.implicitHeight + 24

    AddFieldState {
        id: field
        model: card.model
    }

    // The panel's focus flag and the field's real focus follow each other.
    Connections {
        target: card.panel
        function onAddFieldFocusedChanged() {
            if (card.panel.addFieldFocused && !input.activeFocus)
                input.forceActiveFocus()
            // Closed while the field had the keys (Escape, the panel): the card, alive while it
            // fades, must not keep them and answer the next Escape as if it were still focused.
            else if (!card.panel.addFieldFocused && card.activeFocus)
                card.focus = false
        }
    }
    Component.onCompleted: if (panel.addFieldFocused) input.forceActiveFocus()

    Keys.onEscapePressed: (event) => {
        if (field.cancel())
            card.panel.addFieldFocused = false
        event.accepted = true
    }

    Rectangle {
        anchors.fill: parent
        radius: 12
        color: Qt.rgba(0, 0, 0, 0.08)
    }
    GlassRim {
        anchors.fill: parent
        radius: 12
        intensity: 0.5
        scheme: KitEnvironment.scheme
    }

    Column {
        id: column
        x: 14.5
        y: 12
        width: card.width - 26.5
        spacing: 8

        Row {
            width: parent.width
            height: Math.max(input.implicitHeight, addButton.implicitHeight)
            spacing: 8

            TextInput {
                id: input
                objectName: "nameField"
                anchors.verticalCenter: parent.verticalCenter
                width: parent.width - addButton.width - parent.spacing
                text: card.model.adding.addName
                font.pixelSize: 12
                font.weight: Font.Medium
                color: KitPalette.ink(KitEnvironment.scheme)
                selectionColor: KitPalette.brand(KitEnvironment.scheme)
                clip: true
                focus: true
                Accessible.role: Accessible.EditableText
                Accessible.name: "Project Name or Title"

                onTextEdited: card.model.adding.addName = text
                onActiveFocusChanged: {
                    card.panel.addFieldFocused = activeFocus
                    // A field left empty closes; a name in progress keeps it open.
                    if (!activeFocus)
                        field.collapseIfEmpty()
                }
                // Return starts the add even when the button is off; the add refuses what it must.
                onAccepted: field.submit()

                Text {
                    anchors.verticalCenter: parent.verticalCenter
                    visible: input.text === ""
                    text: "Project Name or Title"
                    textFormat: Text.PlainText
                    font: input.font
                    color: KitPalette.tertiaryLabel(KitEnvironment.scheme)
                }
            }

            PressablePill {
                id: addButton
                objectName: "addButton"
                anchors.verticalCenter: parent.verticalCenter
                // The field keeps its focus, so a click never reads as leaving an empty field.
                focusPolicy: Qt.NoFocus
                text: "Add"
                enabled: field.addEnabled
                onClicked: field.submit()

                contentItem: PillLabel {
                    variant: Pill.Prominent
                    horizontal: 12
                    hovered: addButton.hovering
                    busy: card.model.adding.isAdding
                    text: card.model.adding.isAdding ? "" : "Add"
                }
            }
        }

        KitText {
            objectName: "message"
            width: parent.width
            visible: text !== ""
            text: field.message
            size: 10.5
            wrapMode: Text.Wrap
            color: field.messageIsError ? KitPalette.systemRed(KitEnvironment.scheme)
                                        : KitPalette.secondaryLabel(KitEnvironment.scheme)
        }

        Row {
            width: parent.width
            visible: field.collisionHint !== ""
            spacing: 5

            MicroIcon {
                anchors.verticalCenter: parent.verticalCenter
                symbol: "exclamationmark.triangle.fill"
                size: 9.5
                color: KitPalette.systemOrange(KitEnvironment.scheme)
            }
            KitText {
                objectName: "collision"
                anchors.verticalCenter: parent.verticalCenter
                width: parent.width - 14.5
                text: field.collisionHint
                size: 10.5
                wrapMode: Text.Wrap
                color: KitPalette.secondaryLabel(KitEnvironment.scheme)
            }
        }
    }
}
