// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
import QtQuick
import Quorvane.Kit
import Quorvane.Onboarding

// A web link labelled with its site's domain, underlined in the link colour; a click hands the
// address to the opener.
Item {
    id: link

    property url url
    property LinkOpener opener

    implicitWidth: label.implicitWidth
    implicitHeight: label.implicitHeight + 2
    Accessible.role: Accessible.Link
    Accessible.name: label.text
    Accessible.onPressAction: link.open()

    function open() {
        if (link.opener)
            link.opener.openLink(link.url);
    }

    KitText {
        id: label
        objectName: "label"
        text: AboutContent.linkLabel(link.url)
        size: 10.5
        weight: Font.Medium
        color: KitPalette.linkText(KitEnvironment.scheme)
    }

    Rectangle {
        x: 0
        y: label.baselineOffset + 1.5
        width: label.implicitWidth
        height: 1
        color: label.color
    }

    MouseArea {
        anchors.fill: parent
        cursorShape: Qt.PointingHandCursor
        onClicked: link.open()
    }
}
