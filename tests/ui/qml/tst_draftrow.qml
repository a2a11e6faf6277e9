import QtQuick
import QtTest
import QuillbrookTest

MainWindowCase {
    name: "DraftRow"

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
}
