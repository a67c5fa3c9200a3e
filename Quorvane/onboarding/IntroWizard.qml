// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
import QtQuick
import QtQuick.Layouts
import Quorvane.Kit
import Quorvane.Onboarding

// The first-run introduction: one page per step under a header with the step's place, step dots
// and Back / Next / Done. Its pages follow the application model as it changes; the steps
// themselves are chosen once, when the introduction appears. Return moves on (and closes it on
// the last step); Escape leaves it up; a click beside it closes it.
DialogShell {
    id: wizard

    // The application model: `claudeAuthState`, `claudeAuthEmail`, `recheckClaudeAuth()`, `busy`,
    // `connections.count`, `account` (`hasProfile`, `profileEmail`, `cloudSessionState`),
    // `activity` (`hasSheet`, `sheet.subject`), `claudeSignIn` (`start()`), `cloud`
    // (`requestAccountSignIn(reason, thenBootstrap)`, `startCloudBootstrap()`) and `adding`
    // (`openAddField()`).
    required property var model
    // The activity sheet of a Claude sign-in, which a page here may have started, belongs above
    // the introduction while it is up: its Cancel and its outcome must stay in reach.
    readonly property bool raisesActivity: IntroPages.raisesActivity(wizard.model.activity.hasSheet,
                                                                     wizard.model.activity.sheet.subject)
    readonly property alias wizardState: steps
    readonly property bool claudeSignInRunning: IntroPages.claudeSignInRunning(wizard.model.busy)
    // What a step's page shows of the model, as it is now; none for the pages of fixed tips.
    function pageFor(step) {
        switch (step) {
        case IntroWizardState.SignIn:
            return IntroPages.claudePage(wizard.model.claudeAuthState, wizard.model.claudeAuthEmail);
        case IntroWizardState.Account:
            return IntroPages.accountPage(wizard.model.account.hasProfile, wizard.model.account.profileEmail,
                                          wizard.model.account.cloudSessionState);
        case IntroWizardState.GetStarted:
            return IntroPages.getStartedPage(wizard.model.claudeAuthState);
        }
        return null;
    }

    // "Done", a click on the backdrop or "Add a project": the presenter takes the introduction away.
    signal close()

    dialogWidth: DialogStyle.Wide
    dismissible: true
    dismissOnEscape: false
    blocking: false
    onDismissRequested: wizard.close()

    Keys.onReturnPressed: steps.goNext()
    Keys.onEnterPressed: steps.goNext()

    function perform(action) {
        switch (action) {
        case IntroPages.SignInToClaude:
            wizard.model.claudeSignIn.start();
            break;
        case IntroPages.CheckClaude:
            wizard.model.recheckClaudeAuth();
            break;
        case IntroPages.SignInToAccount:
            wizard.model.cloud.requestAccountSignIn(IntroPages.signInReason(action), false);
            break;
        case IntroPages.SignInToAccountAgain:
            wizard.model.cloud.requestAccountSignIn(IntroPages.signInReason(action), true);
            break;
        case IntroPages.RetryCloud:
            wizard.model.cloud.startCloudBootstrap();
            break;
        case IntroPages.AddProject:
            // The introduction goes first, so the add field opens on an uncovered panel.
            wizard.close();
            wizard.model.adding.openAddField();
            break;
        }
    }

    IntroWizardState {
        id: steps
        onFinished: wizard.close()
    }

    Component.onCompleted: steps.begin(wizard.model.claudeAuthState, wizard.model.connections.count)

    ColumnLayout {
        width: parent.width
        height: 352
        spacing: 12

        RowLayout {
            objectName: "header"
            Layout.fillWidth: true
            spacing: 8

            MicroIcon {
                objectName: "stepIcon"
                symbol: steps.symbol
                size: 15
                color: KitPalette.brand(KitEnvironment.scheme)
            }
            KitText {
                objectName: "stepTitle"
                text: steps.title
                size: 13
                weight: Font.DemiBold
                color: KitPalette.primaryLabel(KitEnvironment.scheme)
            }
            Item { Layout.fillWidth: true }
            KitText {
                objectName: "progress"
                text: steps.progress
                size: 11
                color: KitPalette.tertiaryLabel(KitEnvironment.scheme)
            }
        }

        // A page of its own for each step, so nothing of the last step's page (a pill's colour on
        // its way) carries over into the next.
        Item {
            id: pageHost
            Layout.fillWidth: true
            implicitHeight: childrenRect.height

            Repeater {
                model: [steps.step]

                delegate: Column {
                    id: pageColumn

                    required property int modelData
                    // Read from the delegate's own step, so a new page is right from its first frame.
                    readonly property var page: wizard.pageFor(modelData)

                    objectName: "page"
                    width: pageHost.width
                    spacing: 10

                    // Each step's page comes in quickly, without overshoot; reduced motion swaps it at once.
                    NumberAnimation on opacity {
                        running: !KitEnvironment.reduceMotion
                        from: 0.35
                        to: 1
                        duration: 180
                        easing.type: Easing.OutCubic
                    }

                    Row {
                        objectName: "statusRow"
                        visible: pageColumn.page !== null && pageColumn.page.symbol !== ""
                        spacing: 6

                        MicroIcon {
                            objectName: "statusIcon"
                            symbol: pageColumn.page ? pageColumn.page.symbol : ""
                            size: 15
                            color: IntroPages.toneColor(pageColumn.page ? pageColumn.page.tone : IntroPages.Secondary,
                                                        KitEnvironment.scheme)
                            anchors.verticalCenter: parent.verticalCenter
                        }
                        KitText {
                            objectName: "status"
                            text: pageColumn.page ? pageColumn.page.status : ""
                            size: 12
                            weight: Font.Medium
                            color: KitPalette.primaryLabel(KitEnvironment.scheme)
                            anchors.verticalCenter: parent.verticalCenter
                        }
                    }

                    KitText {
                        objectName: "explanation"
                        width: pageColumn.width
                        text: pageColumn.page ? pageColumn.page.explanation
                            : pageColumn.modelData === IntroWizardState.AddProject ? IntroPages.addProjectExplanation()
                            : IntroPages.useInChatExplanation()
                        size: 11
                        wrapMode: Text.Wrap
                        color: KitPalette.secondaryLabel(KitEnvironment.scheme)
                    }

                    Repeater {
                        objectName: "tips"
                        model: pageColumn.page ? []
                            : pageColumn.modelData === IntroWizardState.AddProject ? IntroPages.addProjectTips()
                            : IntroPages.useInChatTips()

                        delegate: Column {
                            required property var modelData

                            width: pageColumn.width
                            spacing: 2

                            KitText {
                                objectName: "tipHeading"
                                width: parent.width
                                text: modelData.heading
                                size: 11
                                weight: Font.DemiBold
                                wrapMode: Text.Wrap
                                color: KitPalette.primaryLabel(KitEnvironment.scheme)
                            }
                            KitText {
                                objectName: "tipBody"
                                width: parent.width
                                text: modelData.body
                                size: 11
                                wrapMode: Text.Wrap
                                color: KitPalette.secondaryLabel(KitEnvironment.scheme)
                            }
                        }
                    }

                    PillButton {
                        objectName: "pageButton"
                        visible: pageColumn.page !== null && pageColumn.page.button !== ""
                        text: pageColumn.page ? pageColumn.page.button : ""
                        variant: pageColumn.page && pageColumn.page.prominent ? Pill.Prominent : Pill.Light
                        horizontal: 12
                        // One Claude sign-in at a time, whichever page started it.
                        enabled: !(pageColumn.page && pageColumn.page.action === IntroPages.SignInToClaude
                                   && wizard.claudeSignInRunning)
                        onClicked: wizard.perform(pageColumn.page.action)
                    }
                }
            }
        }

        Item { Layout.fillHeight: true }

        RowLayout {
            objectName: "navigation"
            Layout.fillWidth: true
            spacing: 8

            Repeater {
                model: steps.stepCount
                delegate: Rectangle {
                    required property int index

                    objectName: "stepDot"
                    width: 5
                    height: 5
                    radius: 2.5
                    color: index === steps.index ? KitPalette.brand(KitEnvironment.scheme)
                        : KitPalette.faded(KitPalette.secondaryLabel(KitEnvironment.scheme), 0.3)
                }
            }
            Item { Layout.fillWidth: true }
            DialogButton {
                objectName: "backButton"
                visible: steps.canGoBack
                text: "Back"
                variant: DialogStyle.Secondary
                Layout.fillWidth: false
                Layout.preferredWidth: 84
                onClicked: steps.goBack()
            }
            DialogButton {
                objectName: "forwardButton"
                text: steps.forwardLabel
                variant: DialogStyle.Primary
                Layout.fillWidth: false
                Layout.preferredWidth: 84
                onClicked: steps.goNext()
            }
        }
    }
}
