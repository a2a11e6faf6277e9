import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Quillbrook

// Never or a frequency, with the weekdays, day or month that go with it. Each change is
// stored at once. Tab and the arrows move between the options, the weekdays and the pickers.
ColumnLayout {
    id: surface
    required property RepeatMenuModel menu

    function takeFocus(fromKeyboard) {
        const options = [neverOption, dailyOption, weeklyOption, monthlyOption, yearlyOption]
        const chosen = options.find(option => option.selected) || neverOption
        chosen.forceActiveFocus(fromKeyboard ? Qt.TabFocusReason : Qt.PopupFocusReason)
    }

    spacing: 8

    component DayPicker: MenuPicker {
        Accessible.name: "Day"
        implicitWidth: 110
        model: {
            const entries = []
            for (let day = 1; day <= 31; ++day)
                entries.push(String(day))
            entries.push("Last day")
            return entries
        }
        currentIndex: surface.menu.daySelection === 0 ? 31 : surface.menu.daySelection - 1
        onActivated: (index) => surface.menu.pickDay(index === 31 ? 0 : index + 1)
    }
    component Caption: Text {
        color: Theme.primaryText
        font.pixelSize: Theme.bodySize
    }

    PickerOption {
        id: neverOption
        objectName: "repeatNever"
        symbol: "minus.circle"
        title: "Never"
        selected: surface.menu.frequency === ""
        onClicked: surface.menu.selectFrequency("")
    }
    PickerOption {
        id: dailyOption
        objectName: "repeatDaily"
        symbol: "repeat"
        title: "Daily"
        selected: surface.menu.frequency === "daily"
        onClicked: surface.menu.selectFrequency("daily")
    }
    PickerOption {
        id: weeklyOption
        objectName: "repeatWeekly"
        symbol: "repeat"
        title: "Weekly"
        selected: surface.menu.frequency === "weekly"
        onClicked: surface.menu.selectFrequency("weekly")
    }
    Row {
        objectName: "weekdayChips"
        visible: surface.menu.frequency === "weekly"
        Layout.fillWidth: true
        Layout.leftMargin: 12
        Layout.rightMargin: 12
        Layout.bottomMargin: 4
        spacing: 4
        Repeater {
            model: surface.menu.weekdaySymbols
            delegate: AbstractButton {
                id: chip
                required property string modelData
                required property int index
                readonly property bool on: {
                    surface.menu.weekdays
                    return surface.menu.weekdays.indexOf(index) >= 0
                }
                objectName: "weekday-" + index
                width: 32
                height: 32
                Accessible.role: Accessible.CheckBox
                Accessible.name: Qt.locale().dayName(index, Locale.LongFormat)
                Accessible.checkable: true
                Accessible.checked: on
                Keys.onLeftPressed: nextItemInFocusChain(false).forceActiveFocus(Qt.BacktabFocusReason)
                Keys.onRightPressed: nextItemInFocusChain(true).forceActiveFocus(Qt.TabFocusReason)
                Keys.onUpPressed: weeklyOption.forceActiveFocus(Qt.BacktabFocusReason)
                Keys.onDownPressed: monthlyOption.forceActiveFocus(Qt.TabFocusReason)
                Keys.onReturnPressed: clicked()
                background: Rectangle {
                    radius: width / 2
                    color: chip.on ? Theme.accent : "transparent"
                    border.width: chip.on ? 0 : 1.5
                    border.color: Theme.circleOutline
                    FocusRing { shown: chip.visualFocus; radius: width / 2 }
                }
                contentItem: Text {
                    text: chip.modelData
                    horizontalAlignment: Text.AlignHCenter
                    verticalAlignment: Text.AlignVCenter
                    color: chip.on ? "white" : Theme.secondaryText
                    font.pixelSize: Theme.subheadlineSize
                    font.weight: Font.DemiBold
                }
                onClicked: surface.menu.toggleWeekday(index)
            }
        }
    }
    PickerOption {
        id: monthlyOption
        objectName: "repeatMonthly"
        symbol: "repeat"
        title: "Monthly"
        selected: surface.menu.frequency === "monthly"
        onClicked: surface.menu.selectFrequency("monthly")
    }
    RowLayout {
        visible: surface.menu.frequency === "monthly"
        Layout.leftMargin: 12
        Layout.rightMargin: 12
        Layout.bottomMargin: 4
        spacing: 8
        Caption { text: "On day" }
        DayPicker { objectName: "monthlyDay" }
    }
    PickerOption {
        id: yearlyOption
        objectName: "repeatYearly"
        symbol: "repeat"
        title: "Yearly"
        selected: surface.menu.frequency === "yearly"
        onClicked: surface.menu.selectFrequency("yearly")
    }
    RowLayout {
        visible: surface.menu.frequency === "yearly"
        Layout.leftMargin: 12
        Layout.rightMargin: 12
        Layout.bottomMargin: 4
        spacing: 8
        Caption { text: "On" }
        MenuPicker {
            objectName: "yearlyMonth"
            Accessible.name: "Month"
            implicitWidth: 90
            model: surface.menu.monthNames
            currentIndex: surface.menu.month
            onActivated: (index) => surface.menu.pickMonth(index)
        }
        DayPicker { objectName: "yearlyDay" }
    }
}
