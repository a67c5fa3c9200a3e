// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
import QtQuick
import Quorvane.Kit
import Quorvane.Panel

// Signing in to the account with an e-mailed one-time code. The step follows the account's
// phase alone; the overlay keeps only what the user types and the opt-in.
DialogShell {
    id: overlay

    // The sign-in request: `reason`, `suggestedEmail`.
    required property var request
    // The account model that signs in.
    required property var account
    readonly property alias flow: flow

    // Closes the overlay without signing in.
    signal cancelRequested()
    // The account is signed in; the presenter closes the overlay and runs the request's success.
    signal signedIn()

    dialogWidth: DialogStyle.Regular
    dismissible: false
    blocking: false

    Keys.onEscapePressed: overlay.cancelRequested()

    SignInOverlayModel {
        id: flow
        account: overlay.account
        suggestedEmail: overlay.request.suggestedEmail
        onSignedIn: overlay.signedIn()
        onFocusRequested: (field) => {
            if (field === SignInOverlayModel.Code)
                codeField.forceActiveFocus();
            else
                emailField.forceActiveFocus();
        }
    }

    Component.onCompleted: flow.appear()

    // Typing breaks the fields' bindings; what the model keeps (a prefill, a cleared or cut
    // code) is written back into them.
    Connections {
        target: flow
        function onEmailChanged() {
            if (emailField.text !== flow.email)
                emailField.text = flow.email;
        }
        function onCodeChanged() {
            if (codeField.text !== flow.code)
                codeField.text = flow.code;
        }
    }

    DialogIcon {
        name: "mail-send"
    }
    DialogHeading {
        objectName: "heading"
        text: flow.heading
    }
    Item {
        width: parent.width
        visible: flow.busy
        height: visible ? 10 + spinner.height : 0

        Spinner {
            id: spinner
            objectName: "spinner"
            y: 10
            anchors.horizontalCenter: parent.horizontalCenter
        }
    }

    // The address step.
    Column {
        objectName: "emailStep"
        width: parent.width
        visible: flow.step === SignInOverlayModel.Email

        DialogSubheading {
            text: overlay.request.reason
        }
        Item { width: 1; height: 18 }
        SignInField {
            id: emailField
            objectName: "emailField"
            text: flow.email
            placeholderText: "you@studio.com"
            font.pixelSize: 11
            enabled: !flow.busy
            inputMethodHints: Qt.ImhEmailCharactersOnly | Qt.ImhNoAutoUppercase
            onTextEdited: flow.email = text
            onAccepted: flow.send()
        }
        Item { width: 1; height: 14 }
        Item {
            width: parent.width
            height: optIn.implicitHeight

            DialogCheckbox {
                id: optIn
                objectName: "optIn"
                width: implicitWidth
                anchors.horizontalCenter: parent.horizontalCenter
                text: "Occasional updates about Quorvane."
                checked: flow.marketingOptIn
                enabled: !flow.busy
                onToggled: flow.marketingOptIn = checked
            }
        }
    }

    // The code step.
    Column {
        objectName: "codeStep"
        width: parent.width
        visible: flow.step === SignInOverlayModel.Code

        DialogSubheading {
            objectName: "codeSentTo"
            text: flow.subheading
        }
        Item { width: 1; height: 18 }
        SignInField {
            id: codeField
            objectName: "codeField"
            text: flow.code
            placeholderText: "00000000"
            font.family: "monospace"
            font.pixelSize: 18
            font.weight: Font.DemiBold
            font.letterSpacing: 4
            enabled: !flow.busy
            inputMethodHints: Qt.ImhDigitsOnly
            // The field shows the kept code: typed letters and extra digits vanish at once.
            onTextEdited: flow.code = text
            onAccepted: flow.verify()
        }
        Item { width: 1; height: 14 }
        SignInLink {
            objectName: "newCodeLink"
            anchors.horizontalCenter: parent.horizontalCenter
            text: "Send a new code"
            enabled: !flow.busy
            onClicked: flow.returnToEmail()
        }
    }

    // The profile step.
    Column {
        objectName: "profileStep"
        width: parent.width
        visible: flow.step === SignInOverlayModel.Profile

        DialogSubheading {
            text: flow.subheading
        }
        Item { width: 1; height: 14 }
        SignInLink {
            objectName: "otherEmailLink"
            anchors.horizontalCenter: parent.horizontalCenter
            text: "Use a different email"
            enabled: !flow.busy
            onClicked: flow.returnToEmail()
        }
    }

    DialogSubheading {
        objectName: "signedInStep"
        visible: flow.step === SignInOverlayModel.SignedIn
        text: flow.subheading
    }

    Item {
        width: parent.width
        visible: flow.error !== ""
        height: visible ? errorLine.implicitHeight + 10 : 0

        KitText {
            id: errorLine
            objectName: "error"
            y: 10
            width: parent.width
            text: flow.error
            size: 10.5
            color: KitPalette.systemRed(KitEnvironment.scheme)
            horizontalAlignment: Text.AlignHCenter
            wrapMode: Text.Wrap
        }
    }

    DialogButtonRow {
        DialogButton {
            objectName: "cancelButton"
            text: flow.cancelLabel
            variant: DialogStyle.Secondary
            onClicked: overlay.cancelRequested()
        }
        DialogButton {
            objectName: "primaryButton"
            visible: flow.primaryLabel !== ""
            text: flow.primaryLabel
            variant: DialogStyle.Primary
            enabled: flow.primaryEnabled
            onClicked: flow.pressPrimary()
        }
    }
}
