// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
import QtQuick
import QtQuick.Templates as T
import Quorvane.Kit

// A full-width card that switches one mode; it turns dark while the mode is on. Only the
// switch takes clicks; while unavailable the switch is disabled and the optional note says why.
// The owner keeps the mode: the card shows `isOn` and reports a flip of the switch as `toggled`.
Item {
    id: card

    // The owner's value; the card never writes it.
    property bool isOn: false
    property string onSymbol
    property string offSymbol
    property string onHeading
    property string offHeading
    property string detail
    property bool isAvailable: true
    // Shown only while the mode is unavailable, when not empty.
    property string unavailableDetail
    property string accessibilityLabel
    readonly property int scheme: KitEnvironment.scheme

    // The user flipped the switch towards `on`; the owner decides whether `isOn` follows.
    signal toggled(bool on)

    implicitWidth: 320
    implicitHeight: Math.max(texts.height, toggle.height) + 28

    Rectangle {
        anchors.fill: parent
        radius: 12
        color: SmallCardStyle.toggleBackground(card.isOn, card.scheme)

        Behavior on color { ColorAnimation { duration: 120; easing.type: Easing.OutQuad } }
    }

    Column {
        id: texts
        x: 14
        anchors.verticalCenter: parent.verticalCenter
        width: card.width - 28 - 12 - toggle.width
        spacing: 8

        Row {
            spacing: 7

            MicroIcon {
                anchors.verticalCenter: parent.verticalCenter
                symbol: card.isOn ? card.onSymbol : card.offSymbol
                size: 16
                color: SmallCardStyle.toggleIconColor(card.isOn, card.scheme)

                Behavior on color { ColorAnimation { duration: 120; easing.type: Easing.OutQuad } }
            }
            // The heading changes at once; everything else animates.
            Text {
                anchors.verticalCenter: parent.verticalCenter
                text: card.isOn ? card.onHeading : card.offHeading
                textFormat: Text.PlainText
                font.pixelSize: 11
                font.weight: Font.Medium
                color: SmallCardStyle.toggleHeadingColor(card.isOn, card.scheme)

                Behavior on color { ColorAnimation { duration: 120; easing.type: Easing.OutQuad } }
            }
        }
        KitText {
            objectName: "detail"
            width: parent.width
            text: card.detail
            size: 10.5
            color: SmallCardStyle.toggleDetailColor(card.isOn, card.scheme)
            wrapMode: Text.Wrap

            Behavior on color { ColorAnimation { duration: 120; easing.type: Easing.OutQuad } }
        }
        KitText {
            objectName: "note"
            width: parent.width
            visible: !card.isAvailable && card.unavailableDetail !== ""
            text: card.unavailableDetail
            size: 10.5
            color: SmallCardStyle.toggleNoteColor(card.isOn, card.scheme)
            wrapMode: Text.Wrap

            Behavior on color { ColorAnimation { duration: 120; easing.type: Easing.OutQuad } }
        }
    }

    // A mini switch; while the mode is on it is drawn as in the dark scheme.
    T.Switch {
        id: toggle
        objectName: "modeSwitch"
        anchors.right: parent.right
        anchors.rightMargin: 14
        anchors.verticalCenter: parent.verticalCenter
        checked: card.isOn
        enabled: card.isAvailable
        padding: 0
        implicitWidth: 26
        implicitHeight: 15
        opacity: enabled ? 1 : Pill.disabledOpacity
        Accessible.name: card.accessibilityLabel
        // The switch flips itself when clicked; hand the flip to the owner and go back to
        // showing the owner's value, which is all the switch ever shows.
        onToggled: {
            const on = checked;
            checked = Qt.binding(() => card.isOn);
            card.toggled(on);
        }

        indicator: Rectangle {
            width: 26
            height: 15
            radius: height / 2
            color: toggle.checked ? KitPalette.brand(KitPalette.Dark)
                                  : (card.isOn || card.scheme === KitPalette.Dark ? Qt.rgba(1, 1, 1, 0.2) : Qt.rgba(0, 0, 0, 0.14))

            Behavior on color { ColorAnimation { duration: 120; easing.type: Easing.OutQuad } }

            Rectangle {
                x: toggle.checked ? parent.width - width - 2 : 2
                anchors.verticalCenter: parent.verticalCenter
                width: 11
                height: 11
                radius: width / 2
                color: "white"

                Behavior on x { NumberAnimation { duration: 120; easing.type: Easing.OutQuad } }
            }
        }
    }
}
