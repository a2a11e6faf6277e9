import QtQuick
import QtTest
import Quillbrook
import QuillbrookTest

// The Log tab of the detail pane.
MainWindowCase {
    name: "ChangeLog"

    function test_entriesLineUpWithAndWithoutADetail() {
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
