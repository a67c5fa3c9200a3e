// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
import QtQuick
import Quorvane
import Quorvane.Kit

// The short note that confirms a copy, at the bottom of the panel above everything else; it
// comes and goes by itself and takes no clicks.
Item {
    id: toast

    required property AppModel model
    required property PanelState panel
    readonly property bool showing: panel.copiedToast !== ""
    // The last text, kept while the toast fades out.
    property string text

    anchors.fill: parent
    Connections {
        target: toast.panel
        function onCopiedToastChanged() {
            if (toast.panel.copiedToast !== "")
                toast.text = toast.panel.copiedToast;
        }
    }

    Rectangle {
        id: bubble
        objectName: "toast"
        anchors.horizontalCenter: parent.horizontalCenter
        anchors.bottom: parent.bottom
        anchors.bottomMargin: 18 + (toast.showing ? 0 : -6)
        width: label.width + 28
        height: label.height + 16
        radius: 12
        color: KitPalette.panelBase(KitEnvironment.scheme)
        border.width: 1
        border.color: Qt.rgba(1, 1, 1, KitEnvironment.dark ? 0.12 : 0.5)
        opacity: toast.showing ? 1 : 0
        visible: opacity > 0
        Behavior on opacity { NumberAnimation { duration: 220; easing.type: Easing.OutCubic } }
        Behavior on anchors.bottomMargin { NumberAnimation { duration: 220; easing.type: Easing.OutCubic } }

        KitText {
            id: label
            objectName: "toastText"
            anchors.centerIn: parent
            width: Math.min(implicitWidth, 280)
            text: toast.text
            size: 10.5
            weight: Font.Medium
            wrapMode: Text.WordWrap
            horizontalAlignment: Text.AlignHCenter
        }
    }
}
