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

    function test_laterIsNotEmptyWithOnlyDatedToDos() {
        Store.add("Next week", 7)
        openWindow("later")
        tryCompare(list(), "count", 1)
        verify(!placard().visible)
    }

    function test_doneShowsItsPlacardOnlyWithoutCompletedToDos() {
        Store.add("Still open", 0)
        openWindow("done")
        tryVerify(() => placard().visible)
        Store.complete(Store.add("Finished", 0))
        tryVerify(() => !placard().visible)
        compare(rowTitled("Finished").todo.isCompleted, true)
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

    function test_spacesInTheSearchFieldKeepTheList() {
        Store.add("Buy milk", 0)
        openWindow("today")
        mouseClick(find("searchField"))
        typeText("   ")
        compare(find("contentTitle").text, "Today")
        verify(rowTitled("Buy milk"))
        typeText("m")
        tryCompare(find("contentTitle"), "text", "Quick Find")
    }
}
