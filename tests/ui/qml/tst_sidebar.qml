import QtQuick
import QtTest
import Quillbrook
import QuillbrookTest

// Which to-dos a badge counts is the lists' rule, tested with the stock queries.
MainWindowCase {
    name: "Sidebar"

    function badge(perspective) { return find("badge-" + perspective) }

    function test_badgesFollowSavesAndHideAtZero() {
        Store.add("Today", 0)
        Store.add("Tomorrow", 1)
        openWindow("today")
        compare(badge("today").text, "1")
        compare(badge("later").text, "1")
        verify(!badge("done").visible)
        mouseClick(findChild(rowTitled("Today"), "circle"))
        tryVerify(() => !badge("today").visible, 2000)
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
