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

    function test_newToDoOpensTheDraftRowOfTheShownList_data() {
        return [ { tag: "today", perspective: "today" }, { tag: "later", perspective: "later" } ]
    }
    function test_newToDoOpensTheDraftRowOfTheShownList(data) {
        openWindow(data.perspective)
        mouseClick(find("newTodoButton"))
        tryVerify(() => draftOpen() && draftField().activeFocus)
        typeText("Fresh ")
        keyClick(Qt.Key_Return)
        compare(openTitles(), ["Fresh"])
        tryVerify(() => !draftOpen())
        const todo = rowTitled("Fresh").todo
        compare(isNaN(todo.scheduledDate.getTime()), data.perspective === "later")
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

    function test_theUndoKeyInTheSearchFieldEditsTheText() {
        openWindow("done")
        newToDoKey()
        tryVerify(toastShowing)
        mouseClick(find("searchField"))
        undoKey()
        compare(Store.count(), 1)
        verify(QuillbrookApp.undoCenter.hasPending)
    }

    function test_escapeEndsTheSearchAndTheUndoKeyWorksAgain() {
        openWindow("done")
        newToDoKey()
        tryVerify(toastShowing)
        keyClick(Qt.Key_F, Qt.ControlModifier)
        verify(find("searchField").activeFocus)
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
