import QtQuick
import QtTest
import Quillbrook
import QuillbrookTest

// The When and Repeat controls in the detail pane's header, driven by the mouse.
MainWindowCase {
    name: "HeaderMenus"

    function openDetail(title) {
        mouseClick(rowTitled(title))
        tryVerify(() => findChild(window.contentItem, "whenButton") !== null)
    }

    function test_theWhenPopoverShowsTheCurrentChoiceAndAPickClosesIt() {
        const todo = Store.add("Call the bank", 0)
        openWindow("today")
        openDetail("Call the bank")
        const button = find("whenButton")
        compare(find("whenLabel").text, "Today")
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
        compare(QuillbrookApp.undoCenter.message, "Moved to Later")
    }
}
