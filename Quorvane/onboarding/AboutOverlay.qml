// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
import QtQuick
import Quorvane.Kit
import Quorvane.Onboarding

// The About dialog: the application's name and version, the maker's credit and two web links.
// Escape or a click beside the dialog asks the presenter to close it; a link opens in the
// browser and leaves the dialog up.
DialogShell {
    id: about

    // The version the dialog names; the running build's unless told otherwise.
    property string version: AboutContent.appVersion
    // Where the links open.
    property LinkOpener opener: SystemLinkOpener {}

    // Escape or a click on the backdrop; the presenter hides the dialog.
    signal close()

    dialogWidth: DialogStyle.Compact
    dismissible: true
    dismissOnEscape: true
    crestSource: AboutContent.iconSource
    crestSize: 64
    blocking: false
    onDismissRequested: about.close()

    Column {
        width: parent.width
        topPadding: 10
        bottomPadding: 14

        KitText {
            objectName: "name"
            anchors.horizontalCenter: parent.horizontalCenter
            text: "Quorvane"
            size: 20
            weight: Font.DemiBold
            color: KitPalette.primaryLabel(KitEnvironment.scheme)
        }

        Item { width: 1; height: 6 }

        KitText {
            objectName: "version"
            anchors.horizontalCenter: parent.horizontalCenter
            text: AboutContent.versionLine(about.version)
            size: 10.5
            color: KitPalette.secondaryLabel(KitEnvironment.scheme)
        }

        Item { width: 1; height: 18 }

        Row {
            objectName: "credit"
            anchors.horizontalCenter: parent.horizontalCenter
            spacing: 5

            KitText {
                id: builtBy
                text: "Built by"
                size: 10.5
                color: KitPalette.secondaryLabel(KitEnvironment.scheme)
            }
            Wordmark {
                markHeight: 11
                color: KitPalette.secondaryLabel(KitEnvironment.scheme)
                anchors.baseline: builtBy.baseline
            }
            KitText {
                text: "· a Webflow studio"
                size: 10.5
                color: KitPalette.secondaryLabel(KitEnvironment.scheme)
                anchors.baseline: builtBy.baseline
            }
        }

        Item { width: 1; height: 11 }

        Row {
            anchors.horizontalCenter: parent.horizontalCenter
            spacing: 6

            AboutLink {
                objectName: "productLink"
                url: AboutContent.productSite
                opener: about.opener
                anchors.verticalCenter: parent.verticalCenter
            }
            KitText {
                text: "·"
                size: 10.5
                color: KitPalette.tertiaryLabel(KitEnvironment.scheme)
                anchors.verticalCenter: parent.verticalCenter
            }
            AboutLink {
                objectName: "makerLink"
                url: AboutContent.makerSite
                opener: about.opener
                anchors.verticalCenter: parent.verticalCenter
            }
        }
    }
}
