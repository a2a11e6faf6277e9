import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Quillbrook

// Today, Tomorrow, a month calendar and Later. Every choice reschedules and closes. The
// calendar takes the keyboard when the popover opens: arrows move a cursor by a day or a week,
// Page Up and Page Down by a month, Return or Space picks the day under it.
ColumnLayout {
    id: surface
    required property WhenMenuModel menu
    readonly property var calendarLocale: Qt.locale(menu.localeName)

    // The keyboard cursor, as a local date at noon (so adding days never meets a clock change).
    // It starts on the picked day: the scheduled one, or today.
    property date cursor: new Date()
    function resetCursor() {
        cursor = new Date(menu.pickedYear, menu.pickedMonth - 1, menu.pickedDay, 12)
    }
    function moveCursor(days, months) {
        const next = new Date(cursor.getFullYear(), cursor.getMonth() + months, cursor.getDate() + days, 12)
        // A month step keeps the day where the month has it, else its last day.
        if (months !== 0 && next.getDate() !== cursor.getDate())
            next.setDate(0)
        cursor = next
        menu.showMonth(cursor.getFullYear(), cursor.getMonth() + 1)
    }
    function pickCursor() {
        const year = cursor.getFullYear(), month = cursor.getMonth() + 1, day = cursor.getDate()
        if (year === menu.pickedYear && month === menu.pickedMonth && day === menu.pickedDay)
            menu.presented = false
        else
            menu.pickDay(year, month, day)
    }
    // The cursor is drawn once the keyboard is in use, as a focus ring is.
    property bool cursorShown: false
    property bool openedByKeyboard: false
    function takeFocus(fromKeyboard) {
        resetCursor()
        openedByKeyboard = fromKeyboard
        calendarKeys.forceActiveFocus(Qt.PopupFocusReason)
        openedByKeyboard = true // from now on, focus that comes to the calendar came by Tab
    }

    spacing: 8

    PickerOption {
        objectName: "whenToday"
        symbol: "sun.horizon.fill"
        title: "Today"
        selected: surface.menu.selectedOption === "today"
        onClicked: surface.menu.pickToday()
    }
    PickerOption {
        objectName: "whenTomorrow"
        symbol: "sun.max"
        title: "Tomorrow"
        selected: surface.menu.selectedOption === "tomorrow"
        onClicked: surface.menu.pickTomorrow()
    }

    // The calendar: month title with navigation, weekday names, the days.
    ColumnLayout {
        Layout.fillWidth: true
        Layout.topMargin: 4
        Layout.bottomMargin: 4
        spacing: 4
        Accessible.role: Accessible.Grouping
        Accessible.name: "Pick a date"

        RowLayout {
            Layout.fillWidth: true
            Layout.leftMargin: 8
            Text {
                objectName: "whenMonthTitle"
                Layout.fillWidth: true
                text: surface.menu.shownMonthTitle
                color: Theme.primaryText
                font.pixelSize: Theme.bodySize
                font.weight: Font.DemiBold
            }
            ToolButton {
                objectName: "previousMonth"
                Accessible.name: "Previous Month"
                implicitWidth: 28
                implicitHeight: 28
                contentItem: Symbol { name: "chevron.left"; color: Theme.accent }
                id: previousButton
                background: Rectangle {
                    radius: 6
                    color: previousButton.hovered ? Theme.rowHover : "transparent"
                    FocusRing { shown: previousButton.visualFocus; inset: 0 }
                }
                onClicked: surface.menu.showPreviousMonth()
            }
            ToolButton {
                objectName: "nextMonth"
                Accessible.name: "Next Month"
                implicitWidth: 28
                implicitHeight: 28
                contentItem: Symbol { name: "chevron.right"; color: Theme.accent }
                id: nextButton
                background: Rectangle {
                    radius: 6
                    color: nextButton.hovered ? Theme.rowHover : "transparent"
                    FocusRing { shown: nextButton.visualFocus; inset: 0 }
                }
                onClicked: surface.menu.showNextMonth()
            }
        }
        DayOfWeekRow {
            Layout.fillWidth: true
            locale: surface.calendarLocale
            delegate: Text {
                required property string shortName
                text: shortName
                horizontalAlignment: Text.AlignHCenter
                verticalAlignment: Text.AlignVCenter
                color: Theme.secondaryText
                font.pixelSize: Theme.captionSize
                font.weight: Font.DemiBold
            }
        }
        // The calendar's place in the focus chain and its keys.
        Item {
            id: calendarKeys
            objectName: "whenCalendarKeys"
            Layout.fillWidth: true
            Layout.preferredHeight: grid.implicitHeight
            activeFocusOnTab: true
            Accessible.role: Accessible.Table
            Accessible.name: "Pick a date"
            Accessible.description: surface.cursor.toLocaleDateString(surface.calendarLocale)
            onActiveFocusChanged: surface.cursorShown = activeFocus && surface.openedByKeyboard
            Keys.onPressed: (event) => {
                surface.cursorShown = true
                switch (event.key) {
                case Qt.Key_Left: surface.moveCursor(-1, 0); break
                case Qt.Key_Right: surface.moveCursor(1, 0); break
                case Qt.Key_Up: surface.moveCursor(-7, 0); break
                case Qt.Key_Down: surface.moveCursor(7, 0); break
                case Qt.Key_PageUp: surface.moveCursor(0, -1); break
                case Qt.Key_PageDown: surface.moveCursor(0, 1); break
                case Qt.Key_Return:
                case Qt.Key_Enter:
                case Qt.Key_Space: surface.pickCursor(); break
                default:
                    return
                }
                event.accepted = true
            }
            MonthGrid {
                id: grid
                objectName: "whenCalendar"
                // The keyboard lands on the calendar around it, which draws the cursor.
                focusPolicy: Qt.NoFocus
                activeFocusOnTab: false
                anchors.fill: parent
                locale: surface.calendarLocale
                month: Math.max(0, surface.menu.shownMonth - 1)
                year: surface.menu.shownYear
                spacing: 2
                delegate: Item {
                    id: cell
                    required property int day
                    required property int month
                    required property int year
                    readonly property bool inShownMonth: cell.month === grid.month
                    readonly property bool picked: cell.year === surface.menu.pickedYear
                                                   && cell.month + 1 === surface.menu.pickedMonth
                                                   && cell.day === surface.menu.pickedDay
                    readonly property bool isToday: surface.menu.isToday(cell.year, cell.month + 1, cell.day)
                    readonly property bool isCursor: cell.year === surface.cursor.getFullYear()
                                                     && cell.month === surface.cursor.getMonth()
                                                     && cell.day === surface.cursor.getDate()
                    implicitWidth: 32
                    implicitHeight: 30
                    objectName: "day-" + cell.year + "-" + (cell.month + 1) + "-" + cell.day
                    Accessible.role: Accessible.Button
                    Accessible.name: String(cell.day)
                    Accessible.selected: picked
                    Rectangle {
                        anchors.centerIn: parent
                        width: 28
                        height: 28
                        radius: 14
                        color: cell.picked ? Theme.accent : dayTap.hovered ? Theme.rowHover : "transparent"
                        FocusRing {
                            shown: cell.isCursor && calendarKeys.activeFocus && surface.cursorShown
                            radius: width / 2
                        }
                    }
                    Text {
                        anchors.centerIn: parent
                        text: cell.day
                        color: cell.picked ? "white"
                                           : cell.isToday ? Theme.accent
                                                          : cell.inShownMonth ? Theme.primaryText : Theme.tertiaryText
                        font.pixelSize: Theme.subheadlineSize
                        font.weight: cell.picked || cell.isToday ? Font.DemiBold : Font.Normal
                    }
                    HoverHandler { id: dayTap }
                    TapHandler { onTapped: surface.menu.pickDay(cell.year, cell.month + 1, cell.day) }
                }
            }
        }
    }

    PickerOption {
        objectName: "whenLater"
        symbol: "tray.full"
        title: "Later"
        selected: surface.menu.selectedOption === "later"
        onClicked: surface.menu.pickLater()
    }
}
