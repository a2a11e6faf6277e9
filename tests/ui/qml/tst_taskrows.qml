import QtQuick
import QtTest
import Quillbrook
import QuillbrookTest

MainWindowCase {
    name: "TaskRows"

    function circleOf(row) { return findChild(row, "circle") }
    function toast() { return find("undoBar") }

    function test_twoTapsOnTheCircleCompleteTheToDoOnce() {
        const todo = Store.add("Water plants", 0)
        openWindow("today")
        const row = rowTitled("Water plants")
        const circle = circleOf(row)
        compare(circle.Accessible.name, "Mark as done")
        mouseClick(circle)
        verify(row.isCompleting)
        compare(circle.Accessible.name, "Mark as not done")
        tryCompare(row, "opacity", 0.55)
        mouseClick(circle)
        // Still open while the row shows completing; then gone from Today once.
        verify(!todo.isCompleted)
        tryVerify(() => todo.isCompleted, 2000)
        tryCompare(list(), "count", 0)
        wait(700)
        verify(todo.isCompleted)
        compare(Store.completions(todo), 1)
    }

    function test_anOverdueRowIsMarkedUntilItStartsCompleting() {
        Store.add("Old bill", -2)
        Store.add("Today's", 0)
        openWindow("today")
        const overdue = findChild(rowTitled("Old bill"), "overdue")
        verify(overdue.visible)
        verify(!findChild(rowTitled("Today's"), "overdue").visible)
        mouseClick(circleOf(rowTitled("Old bill")))
        verify(!overdue.visible)
    }

    function test_theOverdueMarkFollowsTheDate() {
        const todo = Store.add("Old bill", -2)
        openWindow("today")
        const overdue = findChild(rowTitled("Old bill"), "overdue")
        verify(overdue.visible)
        Store.schedule(todo, 0)
        tryVerify(() => !overdue.visible, 1000)
        Store.schedule(todo, -1)
        tryVerify(() => overdue.visible, 1000)
    }

    function test_anEmptyTitleReadsNewToDo() {
        Store.add("", 0)
        openWindow("today")
        const view = list()
        tryCompare(view, "count", 1)
        compare(view.itemAtIndex(0).Accessible.name, "New To-Do")
    }

    function swipeOpenDelete(row) {
        swipeLeft(row)
        tryVerify(() => row.swipe.position < -0.5)
        mouseClick(row.swipe.rightItem)
    }

    function test_deleteAsksWithTheTitleAndOffersUndo() {
        Store.add("Pay rent", 0)
        openWindow("today")
        swipeOpenDelete(rowTitled("Pay rent"))
        const dialog = find("deleteConfirmation")
        waitForDialog(dialog)
        compare(dialog.title, "Delete this to-do?")
        compare(find("deleteMessage").text, "Pay rent and its change log will be removed.")
        mouseClick(find("deleteButton"))
        tryVerify(() => !dialog.visible)
        compare(Store.count(), 0)
        tryCompare(list(), "count", 0)
        tryVerify(() => toast().opacity === 1)
        compare(find("undoMessage").text, "Deleted “Pay rent”")
    }

    function test_aBlankTitleIsNamedThisToDoAndCancelKeepsIt() {
        Store.add("", 0)
        openWindow("today")
        tryCompare(list(), "count", 1)
        swipeOpenDelete(list().itemAtIndex(0))
        const dialog = find("deleteConfirmation")
        waitForDialog(dialog)
        compare(find("deleteMessage").text, "This to-do and its change log will be removed.")
        mouseClick(find("cancelButton"))
        tryVerify(() => !dialog.visible)
        compare(Store.count(), 1)
        compare(list().count, 1)
    }

    function fullSwipeRight(row) {
        mouseDrag(row, 10, row.height / 2, row.width * 0.8, 0)
    }

    function test_aFullSwipeOnTodayMovesTheToDoToLaterWithoutAnOffer() {
        const todo = Store.add("Errand", 0)
        openWindow("today")
        fullSwipeRight(rowTitled("Errand"))
        tryCompare(list(), "count", 0)
        verify(isNaN(todo.scheduledDate.getTime()))
        compare(QuillbrookApp.undoCenter.hasPending, false)
    }

    function test_aFullSwipeOnADayRowSchedulesItForTodayWithAnOffer() {
        const todo = Store.add("Dentist", 3)
        openWindow("later")
        fullSwipeRight(rowTitled("Dentist"))
        tryCompare(list(), "count", 0)
        tryVerify(() => QuillbrookApp.undoCenter.hasPending)
        compare(find("undoMessage").text, "Scheduled for Today")
        mouseClick(find("undoButton"))
        tryCompare(list(), "count", 1)
        verify(rowTitled("Dentist").inDaySection)
        verify(!todo.isCompleted)
    }
}
