import QtQuick
import QtTest
import Quillbrook
import QuillbrookTest

// "Check for Updates…" and the dialog with what the check found, against a local feed file
// (data/appcast.xml, offering version 99.1). What each outcome says is the updates view model's
// matter, tested with it.
MainWindowCase {
    name: "UpdateDialog"

    Component { id: otherWindow; MainWindow { windowIndex: 1 } }
    SignalSpy { id: finishedSpy; target: QuillbrookApp.updates; signalName: "userCheckFinished" }

    function test_onlyTheWindowThatAskedShowsTheOutcomeWithItsLinks() {
        const other = createTemporaryObject(otherWindow, null)
        openWindow("today")
        finishedSpy.clear()
        const menuItem = find("helpMenu").itemAt(1)
        tryVerify(() => menuItem.enabled, 3000, "a check is still running")
        menuItem.action.trigger()
        tryVerify(() => showing("updateDialog"), 3000, "no update dialog")
        const dialog = find("updateDialog")
        waitForItemPolished(dialog.footer)
        compare(finishedSpy.count, 1)
        compare(find("updateTitle").text, "A new version is available")
        const otherDialog = findChild(other, "updateDialog")
        verify(!otherDialog || !otherDialog.visible)

        const opened = []
        dialog.openUrl = url => opened.push(url.toString())
        mouseClick(find("releaseNotesLink"))
        compare(opened, ["https://quillbrook.example/notes"])
        verify(dialog.opened) // reading the notes is no answer yet
        mouseClick(find("downloadButton"))
        compare(opened, ["https://quillbrook.example/notes", "https://quillbrook.example/download"])
        tryVerify(() => !dialog.visible)
    }
}
