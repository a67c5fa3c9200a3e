// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
import QtQuick
import QtQuick.Controls
import Quorvane.Kit
import Quorvane.Scheduling

// A pill that shows the chosen moment; pressing it opens, right-aligned below it, a month
// calendar and a time field that edit a draft. Every close commits the draft.
PillButton {
    id: pill

    // The chosen moment; the owner updates it from `committed`.
    property date date
    // The earliest moment that may be picked; leave unset for none.
    property var minimumDate
    // The picker's state, for tests that pin its zone and locale.
    readonly property alias state: pickerState
    readonly property alias popup: popover

    signal committed(date date)

    text: pickerState.pillText
    symbol: "calendar"
    onClicked: pickerState.pressPill()

    DateTimePickerState {
        id: pickerState
        date: pill.date
        minimumDate: pill.minimumDate === undefined ? new Date(NaN) : pill.minimumDate
        onCommitted: (chosen) => pill.committed(chosen)
    }

    Popup {
        id: popover
        objectName: "pickerPopover"
        // A press on the pill itself is the pill's to handle: it closes and commits, like a
        // press anywhere else.
        closePolicy: Popup.CloseOnEscape | Popup.CloseOnPressOutsideParent
        visible: pickerState.open
        x: pill.width - width
        y: pill.height + 4
        padding: 12
        onClosed: pickerState.close()

        property int shownMonth: pickerState.draftMonth
        property int shownYear: pickerState.draftYear
        onOpened: {
            shownMonth = pickerState.draftMonth
            shownYear = pickerState.draftYear
        }

        background: Rectangle {
            radius: 10
            color: KitPalette.panelBase(KitEnvironment.scheme)
            border.width: 1
            border.color: KitPalette.faded(KitPalette.ink(KitEnvironment.scheme), 0.12)
        }

        contentItem: Row {
            spacing: 12

            Column {
                spacing: 8

                KitText {
                    text: "Date"
                    size: 10.5
                    weight: Font.DemiBold
                    color: KitPalette.secondaryLabel(KitEnvironment.scheme)
                }
                Row {
                    width: grid.width
                    Text {
                        width: parent.width - 48
                        text: Qt.locale().standaloneMonthName(popover.shownMonth) + " " + popover.shownYear
                        font.pixelSize: 11
                        font.weight: Font.Medium
                        color: KitPalette.primaryLabel(KitEnvironment.scheme)
                        anchors.verticalCenter: parent.verticalCenter
                    }
                    CircleIconButton {
                        objectName: "previousMonth"
                        symbol: "chevron.left"
                        symbolSize: 10
                        quiet: true
                        onClicked: {
                            if (popover.shownMonth === 0) { popover.shownMonth = 11; popover.shownYear -= 1 }
                            else popover.shownMonth -= 1
                        }
                    }
                    CircleIconButton {
                        objectName: "nextMonth"
                        symbol: "chevron.right"
                        symbolSize: 10
                        quiet: true
                        onClicked: {
                            if (popover.shownMonth === 11) { popover.shownMonth = 0; popover.shownYear += 1 }
                            else popover.shownMonth += 1
                        }
                    }
                }
                DayOfWeekRow {
                    width: grid.width
                    delegate: KitText {
                        required property string shortName
                        text: shortName
                        size: 9.5
                        horizontalAlignment: Text.AlignHCenter
                        color: KitPalette.tertiaryLabel(KitEnvironment.scheme)
                    }
                }
                MonthGrid {
                    id: grid
                    objectName: "monthGrid"
                    width: 7 * 26
                    month: popover.shownMonth
                    year: popover.shownYear
                    spacing: 0
                    delegate: Rectangle {
                        required property var model
                        readonly property int key: model.year * 10000 + (model.month + 1) * 100 + model.day
                        readonly property bool chosen: key === pickerState.draftDayKey
                        readonly property bool beforeMinimum: key < pickerState.minimumDayKey
                        implicitWidth: 26
                        implicitHeight: 22
                        radius: 11
                        color: chosen ? KitPalette.brand(KitEnvironment.scheme) : "transparent"
                        TapHandler {
                            onTapped: pickerState.pickDay(parent.model.year, parent.model.month, parent.model.day)
                        }
                        Text {
                            anchors.centerIn: parent
                            text: parent.model.day
                            font.pixelSize: 11
                            opacity: parent.model.month === grid.month && !parent.beforeMinimum ? 1 : 0.35
                            color: parent.chosen ? "white" : KitPalette.primaryLabel(KitEnvironment.scheme)
                        }
                    }
                }
            }

            Rectangle {
                width: 1
                height: parent.height
                color: KitPalette.faded(KitPalette.ink(KitEnvironment.scheme), 0.12)
            }

            Column {
                spacing: 8

                KitText {
                    text: "Time"
                    size: 10.5
                    weight: Font.DemiBold
                    color: KitPalette.secondaryLabel(KitEnvironment.scheme)
                }
                Row {
                    objectName: "timeField"
                    spacing: 2

                    TimePart {
                        objectName: "hourField"
                        text: pickerState.hourText
                        onStepped: (step) => pickerState.stepHour(step)
                    }
                    Text {
                        text: ":"
                        font.pixelSize: 13
                        color: KitPalette.primaryLabel(KitEnvironment.scheme)
                        anchors.verticalCenter: parent.verticalCenter
                    }
                    TimePart {
                        objectName: "minuteField"
                        text: pickerState.minuteText
                        onStepped: (step) => pickerState.stepMinute(step)
                    }
                    TimePart {
                        objectName: "dayPeriodField"
                        visible: pickerState.usesDayPeriod
                        text: pickerState.afternoon ? pickerState.pmText : pickerState.amText
                        onStepped: pickerState.toggleDayPeriod()
                    }
                }
                KitText {
                    text: pickerState.zoneLabel
                    size: 9.5
                    color: KitPalette.tertiaryLabel(KitEnvironment.scheme)
                }
            }
        }
    }

    // One part of the time field: the arrow keys, the wheel and a click on its upper or lower
    // half step it.
    component TimePart: Rectangle {
        id: part

        property string text
        signal stepped(int step)

        implicitWidth: Math.max(24, label.implicitWidth + 10)
        implicitHeight: 22
        radius: 5
        color: activeFocus ? KitPalette.faded(KitPalette.brand(KitEnvironment.scheme), 0.25)
                           : KitPalette.faded(KitPalette.ink(KitEnvironment.scheme), 0.06)
        activeFocusOnTab: true
        Keys.onUpPressed: stepped(1)
        Keys.onDownPressed: stepped(-1)

        Text {
            id: label
            anchors.centerIn: parent
            text: part.text
            font.pixelSize: 12
            color: KitPalette.primaryLabel(KitEnvironment.scheme)
        }
        TapHandler {
            onTapped: (eventPoint) => {
                part.forceActiveFocus()
                part.stepped(eventPoint.position.y < part.height / 2 ? 1 : -1)
            }
        }
        WheelHandler {
            onWheel: (event) => part.stepped(event.angleDelta.y > 0 ? 1 : -1)
        }
    }
}
