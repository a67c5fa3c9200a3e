// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import QtQuick.Templates as T
import Quorvane.Kit
import Quorvane.Panel

// One project on the Connections tab: its title with inline rename, its issue with the suggested
// recovery, the MCP status pill, the schedule pill, the Webflow button and the settings menu.
GlassCard {
    id: card

    // The application model (or a stand-in with its property names).
    required property QtObject appModel
    required property string projectId
    required property ProjectActions actions
    required property Desktop desktop
    readonly property alias controller: controller
    readonly property bool hovering: hover.hovered

    // The schedule pill asks the panel to schedule the project.
    signal schedule(string projectId)

    padding: 12
    implicitWidth: 360

    ProjectCardController {
        id: controller
        appModel: card.appModel
        projectId: card.projectId
        actions: card.actions
        desktop: card.desktop
        onScheduleRequested: id => card.schedule(id)
        onEditingChanged: {
            if (editing === ProjectCardController.Title)
                titleField.forceActiveFocus()
            else if (editing === ProjectCardController.McpName)
                nameField.forceActiveFocus()
        }
    }

    HoverHandler { id: hover }

    ColumnLayout {
        width: card.availableWidth
        spacing: 8

        RowLayout {
            Layout.fillWidth: true
            spacing: 8

            KitText {
                objectName: "title"
                Layout.fillWidth: true
                Layout.leftMargin: 2.5
                Layout.topMargin: -1
                Layout.bottomMargin: 1
                visible: controller.editing === ProjectCardController.None
                text: controller.title
                size: 17
                elide: Text.ElideRight
                ToolTip.visible: titleHover.hovered && controller.title !== ""
                ToolTip.text: controller.title
                ToolTip.delay: 500
                HoverHandler { id: titleHover }
            }
            T.TextField {
                id: titleField
                objectName: "titleField"
                Layout.fillWidth: true
                Layout.leftMargin: 2.5
                visible: controller.editing === ProjectCardController.Title
                text: controller.draft
                placeholderText: "Project name"
                font.pixelSize: 17
                color: KitPalette.ink(KitEnvironment.scheme)
                placeholderTextColor: KitPalette.tertiaryLabel(KitEnvironment.scheme)
                selectByMouse: true
                background: null
                onAccepted: controller.commitEdit(text)
                Keys.onEscapePressed: controller.cancelEdit()
                onVisibleChanged: if (visible) text = controller.draft
            }
            RowLayout {
                Layout.fillWidth: true
                visible: controller.editing === ProjectCardController.McpName
                spacing: 0
                KitText {
                    text: "webflow-"
                    family: "monospace"
                    size: 12
                    color: KitPalette.secondaryLabel(KitEnvironment.scheme)
                }
                T.TextField {
                    id: nameField
                    objectName: "nameField"
                    Layout.fillWidth: true
                    text: controller.draft
                    placeholderText: "client"
                    font.pixelSize: 12
                    font.family: "monospace"
                    color: KitPalette.ink(KitEnvironment.scheme)
                    placeholderTextColor: KitPalette.tertiaryLabel(KitEnvironment.scheme)
                    selectByMouse: true
                    background: null
                    onAccepted: controller.commitEdit(text)
                    Keys.onEscapePressed: controller.cancelEdit()
                    onVisibleChanged: if (visible) text = controller.draft
                }
            }

            CircleIconButton {
                id: gear
                objectName: "gear"
                symbol: "gearshape"
                symbolSize: 13.75
                quiet: true
                focusPolicy: Qt.TabFocus
                opacity: card.hovering || activeFocus || menuHost.opened ? 1 : 0
                Accessible.name: "Project settings"
                ToolTip.visible: hovering
                ToolTip.text: "Project settings"
                ToolTip.delay: 500

                Behavior on opacity { NumberAnimation { duration: 120; easing.type: Easing.OutQuad } }

                RightAlignedMenuHost {
                    id: menuHost
                    anchors.fill: parent
                }

                onClicked: {
                    if (menuHost.opened) {
                        menuHost.close()
                        return
                    }
                    menuHost.show(controller.menu.map(entry => entry.divider ? { divider: true } : {
                        title: entry.title,
                        enabled: entry.enabled,
                        action: () => controller.choose(entry.action)
                    }))
                }
            }
        }

        T.AbstractButton {
            objectName: "issueRow"
            Layout.fillWidth: true
            visible: controller.hasIssue
            enabled: controller.canRecover
            padding: 0
            implicitHeight: issueRow.implicitHeight
            Accessible.role: Accessible.Button
            Accessible.name: controller.issue
            Accessible.description: controller.issueHint
            contentItem: RowLayout {
                id: issueRow
                spacing: 6
                MicroIcon {
                    Layout.alignment: Qt.AlignTop
                    symbol: "exclamationmark.triangle.fill"
                    size: 13.125
                    color: KitPalette.systemOrange(KitEnvironment.scheme)
                }
                KitText {
                    objectName: "issueText"
                    Layout.fillWidth: true
                    text: controller.issue
                    size: 10.5
                    color: KitPalette.secondaryLabel(KitEnvironment.scheme)
                    wrapMode: Text.Wrap
                }
            }
            onClicked: controller.pressIssue()
        }

        RowLayout {
            Layout.fillWidth: true
            spacing: 6

            TagButton {
                objectName: "statusPill"
                symbol: controller.mcpPill.icon
                hoverSymbol: controller.mcpPill.hoverIcon
                label: controller.mcpPill.label
                prominentBrand: controller.mcpPill.prominentBrand
                warning: controller.mcpPill.warning
                dots: controller.mcpPill.dots
                opacity: controller.mcpPill.opacity
                enabled: controller.mcpPill.enabled
                ToolTip.visible: hovered && controller.mcpPill.help !== ""
                ToolTip.text: controller.mcpPill.help
                ToolTip.delay: 500
                onClicked: controller.pressStatusPill()
            }
            TagButton {
                objectName: "schedulePill"
                symbol: controller.schedulePill.icon
                label: controller.schedulePill.label
                prominentBrand: controller.schedulePill.prominentBrand
                warning: controller.schedulePill.warning
                sizingLabels: controller.schedulePill.sizingLabels
                dots: controller.schedulePill.dots
                Accessible.name: controller.schedulePill.accessibilityLabel
                Accessible.description: "Opens Scheduled Publishing"
                onClicked: controller.pressSchedulePill()
            }
            WebflowProjectButton {
                appModel: card.appModel
                projectId: card.projectId
                actions: card.actions
                desktop: card.desktop
            }
            Item { Layout.fillWidth: true }
            Spinner {
                objectName: "busySpinner"
                visible: controller.busy
                size: 10
            }
        }
    }
}
