import QtQuick
import QtTest
import Quillbrook
import QuillbrookTest

MainWindowCase {
    name: "Placards"

    function placard() { return find("emptyPlacard") }

    function test_thePlacardGivesWayToTheDraftRowAndToRows() {
        openWindow("today")
        tryVerify(() => placard().visible)
        compare(placard().title, "Nothing for today")
        newToDoKey()
        tryVerify(() => draftOpen() && draftField().activeFocus)
        verify(!placard().visible)
        wait(550) // the draft field's focus attempts run out
        // Escape closes the empty draft and gives the keyboard back to the list.
        keyClick(Qt.Key_Escape)
        tryVerify(() => !draftOpen())
        verify(listHasKeyboard())
        compare(Store.count(), 0)
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
