// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
import QtQuick
import QtQuick.Controls
import Quorvane.Kit
import Quorvane.Scheduling

// The Scheduled Publishing tab's content: the banners, the schedule form while it is open, the
// hold notice while a publish is rescheduled, and one card per queued publish. Everything comes
// from the screen (SchedulePublishScreen); cards fade and collapse as they come and go.
Column {
    id: view

    required property QtObject screen
    // A site the panel handed over; consumed when the view shows or it changes.
    property string preselectSiteID
    signal preselectConsumed()

    spacing: 10

    function applyPreselection() {
        if (screen.applyPreselection(preselectSiteID))
            preselectConsumed()
    }
    Component.onCompleted: applyPreselection()
    onPreselectSiteIDChanged: applyPreselection()

    SmallCard {
        objectName: "attentionBanner"
        visible: view.screen.showsAttention
        width: view.width
        symbol: "exclamationmark.triangle.fill"
        heading: view.screen.attentionHeading
        detail: view.screen.attentionDetail
        tone: SmallCardStyle.Warning
        emphasis: SmallCardStyle.Feature
        trailing: Component {
            SmallCardLink {
                text: "Details"
                tone: SmallCardStyle.Warning
                onClicked: view.screen.showAttentionDetails()
            }
        }
    }

    FadeThenCollapse {
        objectName: "cloudBanner"
        width: view.width
        isPresented: view.screen.cloudBannerPresented && view.screen.cloudBanner.heading !== undefined
        SmallCard {
            readonly property var banner: view.screen.cloudBanner
            symbol: banner.symbol || ""
            heading: banner.heading || ""
            detail: banner.detail || ""
            tone: banner.brand ? SmallCardStyle.Brand : SmallCardStyle.Warning
            emphasis: SmallCardStyle.Feature
            trailing: banner.linkLabel ? link : null

            Component {
                id: link
                SmallCardLink {
                    text: view.screen.cloudBanner.linkLabel
                    tone: view.screen.cloudBanner.brand ? SmallCardStyle.Brand : SmallCardStyle.Warning
                    ToolTip.text: view.screen.cloudBanner.linkHelp
                    ToolTip.visible: hovered && ToolTip.text !== ""
                    onClicked: view.screen.followCloudBannerLink()
                }
            }
        }
    }

    SmallCard {
        objectName: "syncBanner"
        visible: view.screen.syncError !== ""
        width: view.width
        symbol: "exclamationmark.triangle.fill"
        heading: "Couldn't sync"
        detail: view.screen.syncError
        tone: SmallCardStyle.Warning
    }

    SmallCard {
        objectName: "cacheBanner"
        visible: view.screen.persistenceIssue !== ""
        width: view.width
        symbol: "externaldrive.badge.exclamationmark"
        heading: "Saved schedule cache preserved"
        detail: view.screen.persistenceIssue
        tone: SmallCardStyle.Warning
    }

    FadeThenCollapse {
        objectName: "scheduleForm"
        width: view.width
        isPresented: view.screen.form.showingForm
        ScheduleForm { form: view.screen.form }
    }

    FadeThenCollapse {
        objectName: "holdNotice"
        width: view.width
        isPresented: view.screen.holdNoticePresented
        SmallCard {
            symbol: "info.circle"
            heading: "This publish is on hold"
            detail: "Its current schedule stays in place until you save. Saving replaces it; cancelling keeps the original."
            tone: SmallCardStyle.Warning
        }
    }

    Repeater {
        model: view.screen.queue
        FadeThenCollapse {
            id: row
            required property string scheduleID
            required property string siteName
            required property string timeText
            required property string zoneLabel
            required property var domains
            required property bool skipIfChanged
            required property bool presented
            required property bool running
            required property bool controlsEnabled
            required property string trashHelp
            required property string menuHelp
            required property bool needsPublishing

            width: view.width
            isPresented: presented
            ScheduleCard {
                scheduleID: row.scheduleID
                siteName: row.siteName
                timeText: row.timeText
                zoneLabel: row.zoneLabel
                domains: row.domains
                skipIfChanged: row.skipIfChanged
                running: row.running
                controlsEnabled: row.controlsEnabled
                trashHelp: row.trashHelp
                menuHelp: row.menuHelp
                needsPublishing: row.needsPublishing
                onCancelRequested: view.screen.confirmCancel(scheduleID)
                onRescheduleRequested: view.screen.beginReschedule(scheduleID)
                onPublishNowRequested: view.screen.confirmPublishNow(scheduleID)
                onConnectRequested: view.screen.confirmConnectPublishing(scheduleID)
            }
        }
    }
}
