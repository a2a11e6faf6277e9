import QtQuick
import QtTest
import Quillbrook
import QuillbrookTest

// The When and Repeat controls in the detail pane's header, driven by the mouse. What each
// choice stores is the menu models' matter, tested with them.
MainWindowCase {
    name: "HeaderMenus"

    function openDetail(title) {
        mouseClick(rowTitled(title))
        tryVerify(() => findChild(window.contentItem, "whenButton") !== null)
    }

    // Repeater delegates are visual children only: look under their row.
    function chip(weekday) {
        const found = findChild(find("weekdayChips"), "weekday-" + weekday)
        verify(found, "no chip for weekday " + weekday)
        return found
    }

    function test_theWhenPopoverShowsTheCurrentChoiceAndAPickClosesIt() {
        const todo = Store.add("Call the bank", 0)
        openWindow("today")
        openDetail("Call the bank")
        const button = find("whenButton")
        mouseClick(button)
        const popup = button.popup
        tryVerify(() => popup.opened)
        verify(find("whenToday").selected)
        verify(!find("whenLater").selected)

        // The button toggles the popover; a second press closes it without a pick.
        mouseClick(button)
        tryVerify(() => !popup.visible)
        compare(QuillbrookApp.undoCenter.hasPending, false)

        mouseClick(button)
        tryVerify(() => popup.opened)
        mouseClick(find("whenLater"))
        tryVerify(() => !popup.visible)
        verify(isNaN(todo.scheduledDate.getTime()))
    }

    function test_theRepeatPopoverAppliesEachChangeAtOnceAndStaysOpen() {
        const todo = Store.add("Water plants", 0)
        openWindow("today")
        openDetail("Water plants")
        const button = find("repeatButton")
        mouseClick(button)
        const popup = button.popup
        tryVerify(() => popup.opened)
        verify(!find("weekdayChips").visible)

        mouseClick(find("repeatWeekly"))
        waitForItemPolished(find("weekdayChips").parent)
        verify(todo.isRepeating)
        verify(find("weekdayChips").visible)
        // Weekly starts with one weekday on: the to-do's own day in the app's zone, which need
        // not be this machine's. Another one joins it.
        const on = [0, 1, 2, 3, 4, 5, 6].filter(weekday => chip(weekday).on)
        compare(on.length, 1)
        const other = chip((on[0] + 1) % 7)
        mouseClick(other)
        verify(other.on)
        verify(button.Accessible.description.startsWith("Weekly on "))

        mouseClick(find("repeatMonthly"))
        verify(!find("weekdayChips").visible)
        verify(find("monthlyDay").visible)

        // The rows below moved: let the popover lay itself out before the next click.
        waitForItemPolished(find("repeatNever").parent)
        mouseClick(find("repeatNever"))
        verify(!todo.isRepeating)
        compare(button.Accessible.description, "Off")
        verify(popup.opened)
    }
}
