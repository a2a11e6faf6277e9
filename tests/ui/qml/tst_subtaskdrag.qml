import QtQuick
import QtTest
import Quillbrook
import QuillbrookTest

// Moving subtasks in the detail pane: by their drag handle and with Alt+Up/Down.
MainWindowCase {
    name: "SubtaskDrag"

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
    function release(start, dy) { mouseRelease(subtaskList(), start.x, start.y + dy) }

    function test_draggingARowBelowTheLastMovesItToTheEnd() {
        const rowHeight = rowAt(0).height
        const dy = rowHeight * 2.7
        const start = dragHandle(0, dy)
        // The row follows the pointer, and the others move up to open the gap at the end.
        fuzzyCompare(rowAt(0).dragOffset, dy, 1)
        compare(displacements(), [0, -rowHeight, -rowHeight])
        compare(Store.subtaskTitles(todo), ["passport", "charger", "socks"]) // nothing stored yet
        release(start, dy)

        compare(Store.subtaskTitles(todo), ["charger", "socks", "passport"])
        compare(displacements(), [0, 0, 0])
        // The view applies the move when it next lays out.
        tryVerify(() => subtaskList().itemAtIndex(2).subtask.title === "passport")
        compare(subtaskList().itemAtIndex(2).dragOffset, 0)
    }

    function test_draggingUpIntoTheUpperHalfOfARowDropsBeforeIt() {
        const rowHeight = rowAt(0).height
        // From the middle of row 2 to a quarter into row 1.
        const dy = -(rowHeight * 1.25)
        const start = dragHandle(2, dy)
        compare(displacements(), [0, rowHeight, 0])
        release(start, dy)
        compare(Store.subtaskTitles(todo), ["passport", "socks", "charger"])
    }

    function test_aDropOnItsOwnPlaceChangesNothing() {
        const rowHeight = rowAt(1).height
        // Down into the lower half of its own row: it would land where it is.
        const dy = rowHeight * 0.4
        const start = dragHandle(1, dy)
        verify(rowAt(1).dragging)
        compare(displacements(), [0, 0, 0])
        release(start, dy)
        compare(Store.subtaskTitles(todo), ["passport", "charger", "socks"])
        verify(!rowAt(1).dragging)
        compare(rowAt(1).dragOffset, 0)
    }

    function test_aClickOnTheHandleIsNoDrag() {
        const start = handleCentre(0)
        mouseClick(subtaskList(), start.x, start.y)
        verify(!rowAt(0).dragging)
        compare(displacements(), [0, 0, 0])
        compare(Store.subtaskTitles(todo), ["passport", "charger", "socks"])
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
}
