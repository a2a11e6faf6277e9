import QtQuick
import QtTest
import Quillbrook
import QuillbrookTest

// Every action from the keyboard: a to-do's whole way without a single pointer event, the
// list keys, dialogs, popovers and context menus.
MainWindowCase {
    name: "Keyboard"

    function typeAndReturn(text) {
        typeText(text)
        keyClick(Qt.Key_Return)
    }
    function popupOf(name) { return find(name).popup }

    function test_aToDoGoesItsWholeWayWithoutThePointer() {
        openWindowByKeys(Qt.Key_1)

        // Add it.
        keyClick(Qt.Key_N, Qt.ControlModifier)
        tryVerify(() => draftOpen() && draftField().activeFocus)
        typeAndReturn("Water the ferns")
        tryVerify(() => !draftOpen())
        verify(listHasKeyboard(), "the keyboard is back in the list")
        const todo = Store.titled("Water the ferns")[0]
        verify(todo)

        // Select it; the detail follows.
        keyClick(Qt.Key_End)
        compare(find("titleField").text, "Water the ferns")

        // Tomorrow from the When calendar, then Ctrl+Z puts it back on today.
        tabTo("whenButton")
        keyClick(Qt.Key_Space)
        const when = popupOf("whenButton")
        tryVerify(() => when.opened)
        verify(find("whenCalendarKeys").activeFocus, "the calendar takes the keyboard")
        keyClick(Qt.Key_Right)
        keyClick(Qt.Key_Return)
        tryVerify(() => !when.visible)
        compare(Store.dayOffset(todo), 1)
        compare(find("whenLabel").text, "Tomorrow")
        tryVerify(() => focused() === find("whenButton"), 1000, "the keyboard is back on When")
        keyClick(Qt.Key_Z, Qt.ControlModifier)
        compare(Store.dayOffset(todo), 0)

        // Weekly, from the Repeat options by arrows; Escape closes the popover.
        tabTo("repeatButton")
        keyClick(Qt.Key_Space)
        const repeat = popupOf("repeatButton")
        tryVerify(() => repeat.opened)
        compare(focused(), find("repeatNever"))
        keyClick(Qt.Key_Down)
        keyClick(Qt.Key_Down)
        compare(focused(), find("repeatWeekly"))
        keyClick(Qt.Key_Space)
        verify(todo.isRepeating)
        keyClick(Qt.Key_Tab)
        verify(focused().objectName.startsWith("weekday-"), "Tab goes on to the weekdays")
        keyClick(Qt.Key_Escape)
        tryVerify(() => !repeat.visible)
        tryVerify(() => focused() === find("repeatButton"))

        // A subtask added, emptied and deleted with the Delete key.
        tabTo("addSubtaskField")
        typeAndReturn("Buy soil")
        compare(Store.subtaskTitles(todo), ["Buy soil"])
        tabTo("subtaskField", true)
        compare(focused().text, "Buy soil")
        keyClick(Qt.Key_A, Qt.ControlModifier)
        keyClick(Qt.Key_Backspace)
        keyClick(Qt.Key_Delete)
        compare(Store.subtaskTitles(todo), [])

        // Complete it from the list with Space; it leaves Today.
        keyClick(Qt.Key_1, Qt.ControlModifier)
        verify(listHasKeyboard())
        compare(list().currentItem.todo, todo)
        keyClick(Qt.Key_Space)
        tryVerify(() => todo.isCompleted, 2000)
        tryVerify(() => listTitles().indexOf("Water the ferns") < 0)

        // Done lists it; Later holds next week's one; back to Today.
        keyClick(Qt.Key_3, Qt.ControlModifier)
        tryCompare(find("contentTitle"), "text", "Done")
        tryVerify(() => listTitles().indexOf("Water the ferns") >= 0)
        keyClick(Qt.Key_2, Qt.ControlModifier)
        tryCompare(find("contentTitle"), "text", "Later")
        tryVerify(() => listTitles().indexOf("Water the ferns") >= 0)
        keyClick(Qt.Key_1, Qt.ControlModifier)
        tryCompare(find("contentTitle"), "text", "Today")
        verify(listHasKeyboard())
    }

    function test_listKeysSelectEditReorderAndDelete() {
        for (const title of ["One", "Two", "Three"])
            Store.add(title, 0)
        openWindowByKeys(Qt.Key_1)
        const view = list()

        // The list starts on its first row; the arrows select.
        compare(view.currentIndex, 0)
        keyClick(Qt.Key_Down)
        compare(find("titleField").text, "Two")
        keyClick(Qt.Key_End)
        compare(find("titleField").text, "Three")
        keyClick(Qt.Key_Up)
        compare(find("titleField").text, "Two")
        keyClick(Qt.Key_Home)
        compare(find("titleField").text, "One")

        // Alt+Down moves the row, which stays the current one.
        keyClick(Qt.Key_Down, Qt.AltModifier)
        compare(listTitles(), ["Two", "One", "Three"])
        compare(view.currentItem.todo.title, "One")

        // F2 edits the title in the detail pane; Return commits and returns to the list.
        keyClick(Qt.Key_F2)
        verify(find("titleField").activeFocus)
        typeAndReturn("Uno")
        verify(listHasKeyboard())
        compare(listTitles(), ["Two", "Uno", "Three"])

        // Delete asks; Escape cancels; Return confirms, with its undo offer.
        keyClick(Qt.Key_Delete)
        const dialog = find("deleteConfirmation")
        tryVerify(() => dialog.opened)
        compare(find("deleteMessage").text, "Uno and its change log will be removed.")
        keyClick(Qt.Key_Escape)
        tryVerify(() => !dialog.visible)
        compare(Store.count(), 3)
        keyClick(Qt.Key_Delete)
        tryVerify(() => dialog.opened)
        keyClick(Qt.Key_Return)
        tryVerify(() => !dialog.visible)
        compare(openTitles(), ["Two", "Three"])
        compare(QuillbrookApp.undoCenter.message, "Deleted “Uno”")
        tryVerify(listHasKeyboard)

        // The Menu key opens the row's context menu; Escape closes it.
        keyClick(Qt.Key_Menu)
        const menu = find("todoContextMenu")
        tryVerify(() => menu.opened)
        keyClick(Qt.Key_Escape)
        tryVerify(() => !menu.visible)
        tryVerify(listHasKeyboard)
    }
}
