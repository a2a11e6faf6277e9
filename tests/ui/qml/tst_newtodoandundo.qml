import QtQuick
import QtTest
import Quillbrook
import QuillbrookTest

MainWindowCase {
    name: "NewToDoAndUndo"

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
}
