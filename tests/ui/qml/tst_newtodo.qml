import QtQuick
import QtTest
import Quillbrook
import QuillbrookTest

// Adding a to-do: the draft row, what ends its editing, and the undo of an addition.
MainWindowCase {
    name: "NewToDo"

    function openDraft() {
        newToDoKey()
        tryVerify(() => draftOpen() && draftField().activeFocus)
        // Let the focus attempts run out, as a user's next click would.
        wait(550)
    }

    // The draft row's text is kept (committed) whatever ends the editing; the row itself
    // shows where the list is long.
    function test_onALongListTheDraftRowScrollsIntoView() {
        for (let i = 0; i < 40; ++i)
            Store.add("Errand " + i, 0)
        openWindow("today")
        openDraft()
        const field = draftField()
        const top = field.mapToItem(list(), 0, 0).y
        verify(top >= 0 && top + field.height <= list().height, "the draft row is at " + top)
    }

    function test_textTypedIntoADraftIsCommittedWhenThePerspectiveChanges() {
        openWindow("today")
        openDraft()
        typeText("Keep me")
        keyClick(Qt.Key_2, Qt.ControlModifier)
        compare(openTitles(), ["Keep me"])
        keyClick(Qt.Key_1, Qt.ControlModifier)
        verify(rowTitled("Keep me"))
        verify(!draftOpen())
    }

    function test_textTypedIntoADraftIsCommittedWhenTheWindowCloses() {
        openWindow("later")
        openDraft()
        typeText("Before closing")
        keyClick(Qt.Key_W, Qt.ControlModifier)
        tryVerify(() => !window.visible)
        compare(openTitles(), ["Before closing"])
    }

    function test_aClickOnAnotherRowEndsEditingAndCommits() {
        Store.add("Existing", 0)
        openWindow("today")
        openDraft()
        typeText("Typed")
        mouseClick(rowTitled("Existing"))
        verify(!draftField().activeFocus)
        tryVerify(() => Store.count() === 2, 1000)
        tryVerify(() => !draftOpen())
    }

    function toastShowing() {
        const bar = find("undoBar")
        return QuillbrookApp.undoCenter.hasPending && bar.opacity > 0.99
    }

    // On Today it is the keyboard journey's first step.
    function test_newToDoOnLaterAddsAnUndatedToDo() {
        openWindow("later")
        mouseClick(find("newTodoButton"))
        tryVerify(() => draftOpen() && draftField().activeFocus)
        typeText("Fresh")
        keyClick(Qt.Key_Return)
        tryVerify(() => !draftOpen())
        verify(isNaN(rowTitled("Fresh").todo.scheduledDate.getTime()))
        compare(Store.count(), 1)
    }

    function test_newToDoOnDoneAddsToTodayAndItsUndoTakesItBack() {
        openWindow("done")
        newToDoKey()
        tryVerify(() => Store.count() === 1)
        compare(openTitles(), [""])
        tryVerify(toastShowing)
        compare(find("undoMessage").text, "Added to Today")
        compare(find("contentTitle").text, "Done")
        verify(!draftOpen())
        compare(findChild(find("sidebar-today"), "badge-today").text, "1")

        mouseClick(find("undoButton"))
        compare(Store.count(), 0)
        tryVerify(() => !find("undoBar").parent.visible)
    }

    // In the search field the undo key edits the text; once Escape ends the search it takes
    // back the addition.
    function test_theUndoKeyEditsTheSearchTextUntilEscapeEndsTheSearch() {
        openWindow("done")
        newToDoKey()
        tryVerify(toastShowing)
        mouseClick(find("searchField"))
        undoKey()
        compare(Store.count(), 1)
        verify(QuillbrookApp.undoCenter.hasPending)
        typeText("x")
        compare(find("contentTitle").text, "Quick Find")
        keyClick(Qt.Key_Escape)
        compare(find("searchField").text, "")
        verify(listHasKeyboard())
        undoKey()
        compare(Store.count(), 0)
        verify(!QuillbrookApp.undoCenter.hasPending)
    }

    function placard() { return find("emptyPlacard") }

    function test_thePlacardGivesWayToTheDraftRowAndToRows() {
        openWindow("today")
        tryVerify(() => placard().visible)
        compare(placard().title, "Nothing for today")
        openDraft()
        verify(!placard().visible)
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
