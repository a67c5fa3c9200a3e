// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
import QtQuick
import Quorvane
import Quorvane.Kit

// What lies behind the panel's content: the glass, the accent gradient that warms its lower part
// and the shimmer that follows the pointer. It takes no clicks.
Item {
    id: chrome

    required property AppModel model
    required property PanelState panel
    // The pointer as the panel's hover tracking reports it.
    required property ShimmerTracker tracker

    readonly property var stops: PanelLook.gradientStops(KitEnvironment.scheme)

    GlassPanelBackground {
        anchors.fill: parent
    }

    Rectangle {
        objectName: "gradient"
        anchors.fill: parent
        radius: 16
        gradient: Gradient {
            GradientStop { position: chrome.stops[0].position; color: chrome.stops[0].color }
            GradientStop { position: chrome.stops[1].position; color: chrome.stops[1].color }
            GradientStop { position: chrome.stops[2].position; color: chrome.stops[2].color }
            GradientStop { position: chrome.stops[3].position; color: chrome.stops[3].color }
        }
    }

    ShimmerField {
        objectName: "shimmer"
        anchors.fill: parent
        tracker: chrome.tracker
        paused: chrome.panel.shimmerPaused
        scheme: KitEnvironment.scheme
        reduceMotion: KitEnvironment.reduceMotion
    }
}
