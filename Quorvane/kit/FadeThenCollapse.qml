// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
import QtQuick
import Quorvane.Kit

// Shows or removes content in two steps: leaving, it fades out in place and, once faded, gives
// up its space; arriving, it opens its space and then fades in. Reduce motion switches at once.
Item {
    id: container

    property bool isPresented: false
    // Duration of the fade and response of the space's spring, in seconds.
    property real fade: 0.24
    property real collapse: 0.26
    // The content, made while it is in the view tree.
    default property Component content

    implicitWidth: loader.implicitWidth
    implicitHeight: state.mounted ? loader.implicitHeight : 0
    clip: state.animated

    Behavior on implicitHeight {
        enabled: state.animated
        NumberAnimation { duration: container.collapse * 1000; easing.type: Easing.OutCubic }
    }

    FadeThenCollapseState {
        id: state
        presented: container.isPresented
        reduceMotion: KitEnvironment.reduceMotion
        fade: container.fade
    }

    Loader {
        id: loader
        objectName: "content"
        width: container.width
        // The state's wait and the animation run on different clocks: on a loaded machine the
        // fade can lag behind the wait, and the content stays until the fade has ended.
        active: state.mounted || fading.running
        sourceComponent: container.content
        opacity: state.opaque ? 1 : 0

        Behavior on opacity {
            enabled: state.animated
            // Fading in waits until the space is mostly open; fading out starts at once.
            SequentialAnimation {
                id: fading
                PauseAnimation { duration: state.opaque ? container.fade * 800 : 0 }
                NumberAnimation {
                    duration: state.opaque ? container.collapse * 1250 : container.fade * 1000
                    easing.type: Easing.OutCubic
                }
            }
        }
    }
}
