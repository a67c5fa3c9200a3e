// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
pragma ComponentBehavior: Bound
import QtQuick
import Quorvane
import Quorvane.Kit
import Quorvane.Panel

// The Connections tab's list: the how-to card while there is no project, the no-match line, the
// project cards, the sites with publishing access but no project and the unmanaged registry
// entries; the reading row instead while Claude's registry is being read.
Column {
    id: list

    required property AppModel model
    required property PanelState panel
    // What the list shows, for the panel and for tests.
    readonly property alias rows: rows

    spacing: 8

    ProjectListState {
        id: rows
        model: list.model
        searchText: list.panel.searchText
    }

    SystemDesktop {
        id: systemDesktop
    }

    Column {
        width: list.width
        spacing: list.spacing
        visible: !list.model.isLoading

        SmallCard {
            id: howTo
            objectName: "howToCard"
            readonly property bool shown: !list.model.adding.showingAdd
            width: parent.width
            visible: rows.showsHowTo
            symbol: "book.circle.fill"
            heading: "How to use Quorvane"
            detail: "The three steps, start to finish."
            emphasis: SmallCardStyle.Feature
            chevron: true
            actionable: shown
            // Keeps its place while the Add New card is open, so the list does not jump.
            opacity: shown ? 1 : 0
            enabled: shown
            onActivated: rows.openHowTo()

            Behavior on opacity {
                SequentialAnimation {
                    PauseAnimation { duration: howTo.shown && !KitEnvironment.reduceMotion ? 266 : 0 }
                    NumberAnimation { duration: howTo.shown ? 360 : 240; easing.type: Easing.OutCubic }
                }
            }
        }

        NoMatchesText {
            objectName: "noMatches"
            width: parent.width
            visible: rows.showsNoMatches
            text: rows.noMatchesText
        }

        Repeater {
            model: rows.projects

            // The card's own required projectId takes the row's.
            ProjectCard {
                width: list.width
                appModel: list.model
                actions: list.model.projectActions
                desktop: systemDesktop
                onSchedule: id => list.panel.openScheduling(id)
            }
        }

        OrphanPublishingSection {
            objectName: "orphanSection"
            width: parent.width
            visible: rows.showsOrphans
            list: rows
        }

        Repeater {
            model: rows.unrecognized

            UnrecognizedCard {
                required property var model
                required property string key
                required property bool busy
                width: list.width
                url: model.url
                transport: model.transport
                folder: model.folder
                isBusy: busy
                onRequestRemove: rows.confirmRemoval(key)
            }
        }
    }
}
