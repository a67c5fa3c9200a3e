// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
import QtQuick

// A stand-in for the application model with the names the introduction reads and calls; it
// records each call, in order, in `calls`.
QtObject {
    id: fake

    // The busy key of claude's own sign-in.
    readonly property string claudeSignInKey: "\u0000claude-auth"
    property string claudeAuthState: "signedIn"
    property string claudeAuthEmail: ""
    property var busy: []
    property int connectionCount: 1
    property var calls: []

    property QtObject connections: QtObject {
        property int count: fake.connectionCount
    }
    property QtObject account: QtObject {
        property bool hasProfile: false
        property string profileEmail: ""
        // AccountModel::SessionKind: 0 checking, 1 authenticated, 2 signed out,
        // 3 reauthentication required, 4 temporarily unavailable.
        property int cloudSessionState: 2
    }
    property QtObject activity: QtObject {
        property bool hasSheet: false
        property var sheet: ({ subject: "" })
    }
    property QtObject claudeSignIn: QtObject {
        function start() { fake.note("signInToClaude"); }
    }
    property QtObject cloud: QtObject {
        function requestAccountSignIn(reason, thenBootstrap) {
            fake.note("requestAccountSignIn(" + thenBootstrap + ")");
        }
        function startCloudBootstrap() { fake.note("startCloudBootstrap"); }
    }
    property QtObject adding: QtObject {
        property bool showingAdd: false
        property string addError: "Name is required."
        function openAddField() {
            showingAdd = true;
            addError = "";
            fake.note("openAddField");
        }
    }

    function recheckClaudeAuth() {
        note("recheckClaudeAuth");
    }

    function note(call) {
        calls = calls.concat([call]);
    }
}
