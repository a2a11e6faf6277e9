import QtQuick
import QtTest
import Quillbrook
import QuillbrookTest

// Subtasks in the detail pane: moved by their drag handle and with Alt+Up/Down, deleted by a
// swipe, their context menu and the Delete key.
MainWindowCase {
    name: "Subtasks"

    property var todo: null

    function init() {
        Store.reset()
        todo = Store.add("Pack", 0)
        for (const title of ["passport", "charger", "socks"])
            Store.addSubtask(todo, title)
        openWindow("today")
        mouseClick(rowTitled("Pack"))
        tryVerify(() => subtaskList() !== null && subtaskList().count === 3)
        waitForItemPolished(subtaskList())
    }

    function subtaskList() { return findChild(window.contentItem, "subtaskList") }
    function rowAt(index) { return subtaskList().itemAtIndex(index) }
    function displacements() { return [0, 1, 2].map(i => rowAt(i).displacement) }
    // The centre of row `index`'s drag handle, in the list's coordinates (which never move).
    function handleCentre(index) {
        const handle = findChild(rowAt(index), "subtaskDragHandle")
        verify(handle, "no drag handle in row " + index)
        return handle.mapToItem(subtaskList(), handle.width / 2, handle.height / 2)
    }
    // Presses row `index`'s handle and moves the pointer `dy` down in steps, without releasing.
    function dragHandle(index, dy) {
        const list = subtaskList()
        const start = handleCentre(index)
        mousePress(list, start.x, start.y)
        const steps = 8
        for (let step = 1; step <= steps; ++step)
            mouseMove(list, start.x, start.y + dy * step / steps)
        return start
    }

    function test_aDragMovesTheRowWhereItIsDroppedAndAClickIsNoDrag() {
        const start = handleCentre(0)
        mouseClick(subtaskList(), start.x, start.y)
        verify(!rowAt(0).dragging)
        compare(displacements(), [0, 0, 0])
        compare(Store.subtaskTitles(todo), ["passport", "charger", "socks"])

        // Below the last row: the row follows the pointer, and the others move up to open the
        // gap at the end; nothing is stored before the drop.
        const rowHeight = rowAt(0).height
        const down = rowHeight * 2.7
        const held = dragHandle(0, down)
        fuzzyCompare(rowAt(0).dragOffset, down, 1)
        compare(displacements(), [0, -rowHeight, -rowHeight])
        compare(Store.subtaskTitles(todo), ["passport", "charger", "socks"])
        mouseRelease(subtaskList(), held.x, held.y + down)
        compare(Store.subtaskTitles(todo), ["charger", "socks", "passport"])
        compare(displacements(), [0, 0, 0])
        // The view applies the move when it next lays out.
        tryVerify(() => subtaskList().itemAtIndex(2).subtask.title === "passport")
        compare(rowAt(2).dragOffset, 0)
        waitForItemPolished(subtaskList())

        // Up from the middle of the last row to a quarter into the one above: dropped before it.
        const up = -(rowHeight * 1.25)
        const from = dragHandle(2, up)
        compare(displacements(), [0, rowHeight, 0])
        mouseRelease(subtaskList(), from.x, from.y + up)
        compare(Store.subtaskTitles(todo), ["charger", "passport", "socks"])
    }

    function test_altUpAndDownMoveTheSubtaskWhoseFieldHasFocus() {
        const field = findChild(rowAt(1), "subtaskField")
        mouseClick(field)
        tryVerify(() => field.activeFocus)
        keyClick(Qt.Key_Up, Qt.AltModifier)
        compare(Store.subtaskTitles(todo), ["charger", "passport", "socks"])
        // The row moved, the cursor with it, also once the view has laid the rows out again.
        tryVerify(() => findChild(rowAt(0), "subtaskField") === field)
        verify(field.activeFocus)
        keyClick(Qt.Key_Up, Qt.AltModifier) // already first
        compare(Store.subtaskTitles(todo), ["charger", "passport", "socks"])
        keyClick(Qt.Key_Down, Qt.AltModifier)
        keyClick(Qt.Key_Down, Qt.AltModifier)
        compare(Store.subtaskTitles(todo), ["passport", "socks", "charger"])
        keyClick(Qt.Key_Down, Qt.AltModifier) // already last
        compare(Store.subtaskTitles(todo), ["passport", "socks", "charger"])
        verify(field.activeFocus)
    }

    // A swipe that starts in the middle of a titled subtask's text uncovers Delete, which
    // deletes it.
    function test_aTitledSubtaskIsDeletedByASwipeFromTheMiddleOfItsRow() {
        const row = rowAt(1)
        swipeLeft(row, 0.5)
        tryVerify(() => row.swipe.complete && row.swipe.position === -1)
        const action = row.swipe.rightItem
        mouseClick(action, action.width / 2, action.height / 2)
        compare(Store.subtaskTitles(todo), ["passport", "socks"])
    }

    function test_aSubtaskIsDeletedFromItsContextMenu() {
        const row = rowAt(2)
        mouseClick(row, row.width / 2, row.height / 2, Qt.RightButton)
        waitForMenu(find("detailPane").subtaskMenu)
        mouseClick(find("subtaskDeleteItem"))
        compare(Store.subtaskTitles(todo), ["passport", "charger"])
    }

    // Emptied, a titled subtask's field falls back to its title when left; Delete in the empty
    // field deletes it instead, as Delete on its circle does, and the keyboard moves on.
    function test_deleteInAnEmptiedFieldOrOnTheCircleDeletesTheSubtask() {
        const field = findChild(rowAt(0), "subtaskField")
        mouseClick(field)
        tryVerify(() => field.activeFocus)
        keyClick(Qt.Key_A, Qt.ControlModifier)
        keyClick(Qt.Key_Backspace)
        keyClick(Qt.Key_Delete)
        compare(Store.subtaskTitles(todo), ["charger", "socks"])
        tryVerify(() => focused() && focused().objectName === "subtaskField" && focused().text === "charger")

        keyClick(Qt.Key_Backtab, Qt.ShiftModifier)
        compare(focused().objectName, "subtaskCircle")
        keyClick(Qt.Key_Delete)
        compare(Store.subtaskTitles(todo), ["socks"])
        compare(Store.todos().length, 1)
        verify(!showing("deleteConfirmation"), "Delete on a subtask never asks for the to-do")
    }
}
