import QtQuick
import QtTest
import Quillbrook
import QuillbrookTest

MainWindowCase {
    name: "TaskRows"

    // A tap on the circle shows the row completing (the overdue mark goes); a second tap then
    // neither reopens nor completes it again.
    function test_twoTapsOnTheCircleCompleteAnOverdueToDoOnce() {
        const todo = Store.add("Old bill", -2)
        openWindow("today")
        const row = rowTitled("Old bill")
        const overdue = findChild(row, "overdue")
        verify(overdue.visible)

        const circle = findChild(row, "circle")
        compare(circle.Accessible.name, "Mark as done")
        mouseClick(circle)
        verify(row.isCompleting)
        verify(!overdue.visible)
        compare(circle.Accessible.name, "Mark as not done")
        tryCompare(row, "opacity", 0.55)
        mouseClick(circle)
        // Still open while the row shows completing; then gone from Today once.
        verify(!todo.isCompleted)
        tryVerify(() => todo.isCompleted, 2000)
        tryCompare(list(), "count", 0)
        compare(Store.completions(todo), 1)
    }

    // A full swipe to the right moves a to-do of Today to Later without an offer, and one of a
    // day to Today with an offer that puts it back.
    function test_aFullSwipeRightMovesTheToDoToTheOtherList_data() {
        return [ { tag: "today", days: 0, perspective: "today", offer: "" },
                 { tag: "day", days: 3, perspective: "later", offer: "Scheduled for Today" } ]
    }
    function test_aFullSwipeRightMovesTheToDoToTheOtherList(data) {
        const todo = Store.add("Errand", data.days)
        openWindow(data.perspective)
        const row = rowTitled("Errand")
        mouseDrag(row, 10, row.height / 2, row.width * 0.8, 0)
        tryCompare(list(), "count", 0)
        compare(Store.dayOffset(todo), data.days === 0 ? undefined : 0)
        if (!data.offer) {
            compare(QuillbrookApp.undoCenter.hasPending, false)
            return
        }
        tryVerify(() => QuillbrookApp.undoCenter.hasPending)
        compare(find("undoMessage").text, data.offer)
        mouseClick(find("undoButton"))
        tryCompare(list(), "count", 1)
        verify(rowTitled("Errand").inDaySection)
    }

    // The day heading drawn above `row`: the section header nearest above it.
    function headingAbove(row) {
        let best = null
        const children = list().contentItem.children
        for (let i = 0; i < children.length; ++i) {
            const child = children[i]
            if (child.title !== undefined && child.visible && child.y < row.y
                    && (best === null || child.y > best.y))
                best = child
        }
        return best ? best.title : ""
    }

    function test_theDayHeadingFollowsARescheduleThatKeepsTheRowInPlace() {
        const todo = Store.add("Book flights", 3)
        Store.add("Someday", undefined)
        openWindow("later")
        const row = rowTitled("Book flights")
        const before = headingAbove(row)
        verify(before !== "Tomorrow" && before !== "", "dated in three days: " + before)

        // When › Tomorrow in the detail pane: the row stays first, under its new day.
        mouseClick(row)
        mouseClick(find("whenButton"))
        tryVerify(() => find("whenButton").popup.opened)
        mouseClick(find("whenTomorrow"))
        compare(Store.dayOffset(todo), 1)
        compare(list().itemAtIndex(0), row)
        tryVerify(() => headingAbove(row) === "Tomorrow")

        // Another process moves and renames it; the app sees it when it next becomes active.
        Store.editElsewhere(todo, 2, "Book trains")
        QuillbrookApp.becameActive()
        tryVerify(() => headingAbove(row) !== "Tomorrow")
        compare(findChild(row, "rowTitle").text, "Book trains")
        compare(list().itemAtIndex(0), row)
    }

    // Red pixels (the Delete action's, seen directly or through a tint) inside `item`.
    function destructivePixels(image, item) {
        return countPixels(image, item, window.contentItem, 0, 2,
                           pixel => pixel.r > 0.6 && pixel.g < 0.45 && pixel.b < 0.45)
    }

    function test_aRowSwipedClosedShowsNoDeleteBehindItAndSwipedOpenDeletes() {
        Store.add("Pay rent", 0)
        openWindow("today")
        const row = rowTitled("Pay rent")
        swipeLeft(row)
        verify(destructivePixels(grabImage(window.contentItem), row) > 50, "Delete shows while open")
        // Swiped back, then selected and hovered: its backgrounds show nothing of the action.
        mouseDrag(row, row.width * 0.3, row.height / 2, row.width * 0.5, 0)
        tryVerify(() => row.swipe.position === 0)
        mouseClick(row, row.width / 2, row.height / 2)
        tryVerify(() => row.selected)
        mouseMove(row, row.width - 20, row.height / 2)
        compare(destructivePixels(grabImage(window.contentItem), row), 0)
        // The place where Delete stood opens the to-do; it deletes nothing.
        mouseClick(row, row.width - 20, row.height / 2)
        compare(Store.todos().length, 1)
        verify(!showing("deleteConfirmation"))

        // Swiped open again, Delete asks, then deletes.
        swipeLeft(row)
        mouseClick(row.swipe.rightItem)
        compare(confirmDelete().title, "Delete this to-do?")
        compare(Store.todos().length, 0)
        tryCompare(list(), "count", 0)
    }

    // Right click: Complete, When ›, Repeat › and Delete… act as the row's own controls do.
    function test_theContextMenuSchedulesRepeatsCompletesAndDeletes() {
        const todo = Store.add("Water plants", 0)
        openWindow("today")
        const choose = (path) => {
            // A row that just came back is laid out before it is clicked.
            waitForItemPolished(list())
            const row = rowTitled("Water plants")
            mouseClick(row, row.width / 2, row.height / 2, Qt.RightButton)
            const menu = list().parent.contextMenu
            let current = menu
            for (const title of path) {
                waitForMenu(current)
                const entries = Array.from({ length: current.count }, (_, i) => current.itemAt(i))
                const item = entries.find(entry => entry.text === title)
                verify(item, "no " + title + " in the menu")
                mouseClick(item)
                current = item.subMenu
            }
            tryVerify(() => !menu.visible)
        }
        choose(["Repeat", "Weekly"])
        verify(todo.isRepeating)
        choose(["When", "Later"])
        compare(Store.dayOffset(todo), undefined)
        compare(QuillbrookApp.undoCenter.message, "Moved to Later")
        mouseClick(find("undoButton"))
        compare(Store.dayOffset(todo), 0)
        choose(["Complete"])
        tryVerify(() => todo.isCompleted, 2000)
        compare(Store.completions(todo), 1)
        // The repeat's next one takes its place; delete it from its menu.
        const next = titled("Water plants").filter(t => !t.isCompleted)[0]
        Store.schedule(next, 0)
        choose(["Delete…"])
        confirmDelete()
        compare(openTitles(), [])
    }
}
