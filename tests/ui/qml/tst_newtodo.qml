import QtQuick
import QtTest
import Quillbrook
import QuillbrookTest

// Adding a to-do: the draft row, what ends its editing, and the undo of an addition.
MainWindowCase {
    name: "NewToDo"

    // Ctrl+N opens it in the keyboard journey and on Done.
    function openDraft() {
        mouseClick(find("newTodoButton"))
        tryVerify(() => draftOpen() && draftField().activeFocus)
        // Let the focus attempts run out, as a user's next click would.
        wait(550)
    }

    function test_onALongListTheDraftRowScrollsIntoView() {
        for (let i = 0; i < 40; ++i)
            Store.add("Errand " + i, 0)
        openWindow("today")
        openDraft()
        const field = draftField()
        const top = field.mapToItem(list(), 0, 0).y
        verify(top >= 0 && top + field.height <= list().height, "the draft row is at " + top)
    }

    // Whatever ends the editing: another perspective, the window closing, a click on another
    // row. On Later the draft makes an undated to-do; on Today it is the keyboard journey's.
    function test_textTypedIntoADraftIsCommittedWhateverEndsTheEditing_data() {
        return [ { tag: "perspective", list: "today", end: () => keyClick(Qt.Key_2, Qt.ControlModifier) },
                 { tag: "close", list: "later", end: () => keyClick(Qt.Key_W, Qt.ControlModifier) },
                 { tag: "click", list: "today", end: () => mouseClick(rowTitled("Existing")) } ]
    }
    function test_textTypedIntoADraftIsCommittedWhateverEndsTheEditing(data) {
        Store.add("Existing", 0)
        openWindow(data.list)
        openDraft()
        typeText("Typed")
        data.end()
        tryVerify(() => titled("Typed").length === 1, 1000)
        compare(Store.dayOffset(titled("Typed")[0]), data.list === "later" ? undefined : 0)
        tryCompare(window, "visible", data.tag !== "close")
        if (data.tag === "close")
            return
        keyClick(Qt.Key_1, Qt.ControlModifier)
        verify(rowTitled("Typed"))
        tryVerify(() => !draftOpen())
    }

    // New To-Do on Done adds an untitled to-do to Today, with an offer to undo it. In the search
    // field the undo key edits the text; once Escape ends the search it takes back the addition.
    function test_newToDoOnDoneIsUndoneByTheUndoKeyOnlyOnceEscapeEndsTheSearch() {
        openWindow("done")
        keyClick(Qt.Key_N, Qt.ControlModifier)
        tryVerify(() => QuillbrookApp.undoCenter.hasPending && find("undoBar").opacity > 0.99)
        compare(find("undoMessage").text, "Added to Today")
        compare(openTitles(), [""])
        compare(find("contentTitle").text, "Done")
        verify(!draftOpen())
        compare(find("badge-today").text, "1")

        mouseClick(find("searchField"))
        keyClick(Qt.Key_Z, Qt.ControlModifier)
        compare(Store.todos().length, 1)
        verify(QuillbrookApp.undoCenter.hasPending)
        typeText("x")
        compare(find("contentTitle").text, "Quick Find")
        tryCompare(find("noResults"), "title", "No Results for “x”")
        keyClick(Qt.Key_Escape)
        compare(find("searchField").text, "")
        verify(listHasKeyboard())
        keyClick(Qt.Key_Z, Qt.ControlModifier)
        compare(Store.todos().length, 0)
        verify(!QuillbrookApp.undoCenter.hasPending)
        tryVerify(() => !find("undoBar").parent.visible)
        verify(!find("badge-today").visible, "a badge counting nothing hides")
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
        compare(Store.todos().length, 0)
        tryVerify(() => placard().visible)

        Store.add("Something", 0)
        tryVerify(() => !placard().visible)
    }
}
