// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
import QtQuick
import Quorvane.Kit
import Quorvane.Panel

// A project card in each MCP state and the card of each kind of unmanaged entry, for a person to
// look at in both schemes.
Item {
    id: gallery

    required property QtObject fixture
    // The ids of the projects to show, one card each.
    required property var projects

    width: 780
    height: 880

    GlassPanelBackground {
        anchors.fill: parent
    }

    Column {
        x: 16
        y: 16
        width: 360
        spacing: 10

        Repeater {
            model: gallery.projects
            ProjectCard {
                required property string modelData
                width: parent.width
                appModel: gallery.fixture
                projectId: modelData
                actions: gallery.fixture.actions
                desktop: gallery.fixture.desktop
            }
        }
    }

    Column {
        x: 400
        y: 16
        width: 364
        spacing: 10

        UnrecognizedCard {
            width: parent.width
            name: "acme tools"
            url: "https://mcp.webflow.com/mcp"
            transport: "http"
            reason: "unsafeName"
        }
        UnrecognizedCard {
            width: parent.width
            name: "filesystem"
            transport: "stdio"
            reason: "transportNotHTTP"
        }
        UnrecognizedCard {
            width: parent.width
            name: "webflow-legacy"
            url: "https://example.com/a/very/long/path/that/goes/on/to/show/how/the/endpoint/line/wraps/onto/a/second/line"
            reason: "unexpectedEndpoint"
            isBusy: true
        }
        UnrecognizedCard {
            width: parent.width
            name: "webflow-acme"
            url: "https://mcp.webflow.com/mcp"
            reason: "localScopeShadow"
            folder: "/home/ada/sites/acme"
        }
        UnrecognizedCard {
            width: parent.width
            name: "webflow-client"
            url: "https://mcp.webflow.com/mcp"
            reason: "projectScoped"
            folder: "/home/ada/clients/<b>client</b>"
        }
        UnrecognizedCard {
            width: parent.width
            name: "tessavine-beta-acme"
            url: "https://mcp.webflow.com/mcp"
            reason: "foreignLane"
        }
    }
}
