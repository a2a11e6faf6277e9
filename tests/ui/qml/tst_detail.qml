import QtQuick
import QtTest
import Quillbrook
import QuillbrookTest

// The detail pane as the window gives it room (long notes, narrow windows, the More menu), and
// its change log.
MainWindowCase {
    name: "Detail"

    function openDetail(title) {
        mouseClick(rowTitled(title))
        tryVerify(() => findChild(window.contentItem, "detailPane") !== null)
        waitForItemPolished(find("tab-notes").parent)
    }
    // `item`'s rectangle in the window's content.
    function frameOf(item) {
        const topLeft = item.mapToItem(window.contentItem, 0, 0)
        return Qt.rect(topLeft.x, topLeft.y, item.width, item.height)
    }
    function insideWindow(item) {
        const frame = frameOf(item)
        return frame.x >= 0 && frame.y >= 0 && frame.x + frame.width <= window.contentItem.width + 0.5
               && frame.y + frame.height <= window.contentItem.height + 0.5
    }

    function test_longNotesScrollWithTheWheelAndFollowTheCaret() {
        const todo = Store.add("Trip plan", 0)
        Store.setNotes(todo, Array.from({ length: 80 }, (_, i) => "Line " + (i + 1)).join("\n"))
        openWindow("today")
        openDetail("Trip plan")
        mouseClick(find("tab-notes"))
        const scroll = find("notesScroll")
        const notes = find("notesField")
        tryVerify(() => scroll.visible && notes.height > scroll.height)
        const flickable = scroll.contentItem
        compare(flickable.contentY, 0)

        mouseWheel(notes, notes.width / 2, 40, 0, -360)
        tryVerify(() => flickable.contentY > 0, 2000, "the wheel scrolls the notes")

        // The caret at the end is in view, and stays there while typing.
        mouseClick(notes, notes.width / 2, flickable.contentY + 20)
        keyClick(Qt.Key_End, Qt.ControlModifier)
        typeText("!")
        const caret = notes.mapToItem(scroll, notes.cursorRectangle.x, notes.cursorRectangle.y)
        verify(caret.y >= 0 && caret.y + notes.cursorRectangle.height <= scroll.height,
               "the caret is at " + caret.y + " in a view " + scroll.height + " high")
        verify(notes.text.endsWith("Line 80!"))
    }

    // At every width the window allows, the pane's controls are all in the window.
    function test_atTheNarrowestWidthsNothingOfThePaneIsCutOff_data() {
        return [ { tag: "minimum", width: 0 }, { tag: "760", width: 760 }, { tag: "805", width: 805 } ]
    }
    function test_atTheNarrowestWidthsNothingOfThePaneIsCutOff(data) {
        const narrow = Store.add("Narrow", 0)
        for (let i = 1; i <= 12; ++i) // a two-digit count widens the Subtasks badge
            Store.addSubtask(narrow, "step " + i)
        openWindow("today")
        openDetail("Narrow")
        window.width = data.width > 0 ? Math.max(data.width, window.minimumWidth) : window.minimumWidth
        waitForItemPolished(window.contentItem)
        wait(50)
        for (const name of ["moreButton", "completionButton", "repeatButton", "whenButton",
                            "tab-subtasks", "tab-log", "titleField"])
            verify(insideWindow(find(name)), name + " is cut off at " + window.width)
        const detail = find("detailPane")
        verify(detail.width >= window.detailMinimum - 0.5, "the pane is " + detail.width + " wide")
        // Each tab's label, with its count, fits its segment.
        for (const tab of ["tab-subtasks", "tab-notes", "tab-log"]) {
            const label = findChild(find(tab), "tabLabel")
            verify(label.width <= find(tab).width, tab + "'s label is " + label.width + " wide in " + find(tab).width)
        }
    }

    function test_theMoreMenuStaysInsideTheWindowWithRoundCorners() {
        Store.add("Menu", 0)
        openWindow("today")
        window.width = window.minimumWidth
        openDetail("Menu")
        waitForItemPolished(window.contentItem)
        mouseClick(find("moreButton"))
        const menu = find("moreMenu")
        waitForMenu(menu)
        const background = menu.background
        verify(insideWindow(background), "the menu is cut off at the window's edge")
        // A round corner shows the pane behind it, not a square dark border.
        const frame = frameOf(background)
        const corner = grabImage(window.contentItem).pixel(Math.round(frame.x), Math.round(frame.y))
        verify(colourDistance(corner, Theme.detailBackground) < 0.1, "the menu's corner is " + corner)
        keyClick(Qt.Key_Escape)
        tryVerify(() => !menu.visible)
    }

    function test_changeLogEntriesLineUpWithAndWithoutADetail() {
        const todo = Store.add("Water plants", 0)
        Store.schedule(todo, 1) // "Scheduled" with the day as its detail
        openWindow("later")
        mouseClick(rowTitled("Water plants"))
        mouseClick(find("tab-log"))
        const log = find("changeLog")
        tryVerify(() => log.count === 2)
        waitForItemPolished(log)
        const lefts = [0, 1].map(i => {
            const title = findChild(log.itemAtIndex(i), "changeTitle")
            return title.mapToItem(log, 0, 0).x
        })
        compare(lefts[0], lefts[1])
        verify(lefts[0] < 60, "the title sits next to its symbol, not at " + lefts[0])
    }
}
