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

    function test_newKeyTypingAndReturnAddOneToDoAndCloseTheRow() {
        openWindow("today")
        openDraft()
        typeText("Buy milk ")
        keyClick(Qt.Key_Return)
        compare(openTitles(), ["Buy milk"])
        tryVerify(() => !draftOpen())
        verify(rowTitled("Buy milk"))
        keyClick(Qt.Key_Return)
        compare(Store.count(), 1)
    }

    function test_returnOnSpacesAddsNothingAndClosesTheRow() {
        openWindow("today")
        openDraft()
        typeText("   ")
        keyClick(Qt.Key_Return)
        tryVerify(() => !draftOpen())
        compare(Store.count(), 0)
        verify(find("emptyPlacard").visible)
    }

    function test_leavingTheFieldCommitsAfterAShortDelay() {
        openWindow("later")
        openDraft()
        typeText("Call Ann")
        mouseClick(find("searchField"))
        verify(!draftField().activeFocus)
        compare(Store.count(), 0)
        tryVerify(() => Store.count() === 1, 1000)
        compare(openTitles(), ["Call Ann"])
        tryVerify(() => !draftOpen())
    }

    function test_focusComingBackWithinTheDelayCancelsTheCommit() {
        openWindow("today")
        openDraft()
        typeText("Call Ann")
        mouseClick(find("searchField"))
        wait(50)
        mouseClick(draftField())
        verify(draftField().activeFocus)
        wait(400)
        compare(Store.count(), 0)
        verify(draftOpen())
        compare(draftField().text, "Call Ann")
    }
}
