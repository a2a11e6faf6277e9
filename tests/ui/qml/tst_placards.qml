import QtQuick
import QtTest
import Quillbrook
import QuillbrookTest

MainWindowCase {
    name: "Placards"

    function placard() { return find("emptyPlacard") }

    function test_emptyListsSayWhatIsMissing_data() {
        return [
            { tag: "today", perspective: "today", title: "Nothing for today" },
            { tag: "later", perspective: "later", title: "Nothing for later" },
            { tag: "done", perspective: "done", title: "Nothing done yet" },
        ]
    }
    function test_emptyListsSayWhatIsMissing(data) {
        openWindow(data.perspective)
        tryVerify(() => placard().visible)
        compare(placard().title, data.title)
    }

    function test_thePlacardGivesWayToTheDraftRowAndToRows() {
        openWindow("today")
        tryVerify(() => placard().visible)
        newToDoKey()
        tryVerify(() => draftOpen())
        verify(!placard().visible)
        keyClick(Qt.Key_Escape)
        keyClick(Qt.Key_Return)
        tryVerify(() => placard().visible)

        Store.add("Something", 0)
        tryVerify(() => !placard().visible)
    }

    function test_searchingNamesTheQueryWhenNothingMatches() {
        Store.add("Buy milk")
        openWindow("today")
        mouseClick(find("searchField"))
        typeText("zebra")
        tryCompare(find("contentTitle"), "text", "Quick Find")
        const none = find("noResults")
        tryVerify(() => none.visible)
        compare(none.title, "No Results for “zebra”")
    }
}
