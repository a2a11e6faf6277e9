import QtQuick
import QtTest
import Quillbrook
import QuillbrookTest

MainWindowCase {
    name: "Sidebar"

    function badge(perspective) { return find("badge-" + perspective) }

    function test_badgesCountOverdueToDosAndNoCompletedOnesAndHideAtZero() {
        const overdue = Store.add("Overdue", -3)
        const today = Store.add("Today", 0)
        Store.add("Undated")
        Store.add("Tomorrow", 1)
        Store.complete(Store.add("Done today", 0))
        Store.complete(Store.add("Done undated"))
        openWindow("today")
        compare(badge("today").text, "2")
        verify(badge("today").visible)
        compare(badge("later").text, "2")
        verify(!badge("done").visible)

        Store.complete(today)
        tryCompare(badge("today"), "text", "1")
        Store.complete(overdue)
        tryVerify(() => !badge("today").visible) // a zero badge is hidden
    }

    function test_choosingAPerspectiveShowsItAndClearsTheSelection() {
        Store.add("Pick me", 0)
        openWindow("today")
        mouseClick(rowTitled("Pick me"))
        tryVerify(() => !find("noSelection").visible)
        show("later")
        compare(find("contentTitle").text, "Later")
        tryVerify(() => find("noSelection").visible)
        show("done")
        compare(find("contentTitle").text, "Done")
    }
}
