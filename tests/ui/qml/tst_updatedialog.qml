import QtQuick
import QtTest
import Quillbrook
import QuillbrookTest

// "Check for Updates…" and the dialog with what the check found, against a local feed file.
MainWindowCase {
    name: "UpdateDialog"

    property var openedUrls: []

    function menuItem() { return find("helpMenu").itemAt(1) }

    // Asks for a check from the window's menu and waits for the dialog with its outcome.
    function checkFromMenu() {
        tryVerify(() => menuItem().enabled, 3000, "a check is still running")
        menuItem().action.trigger()
        tryVerify(() => showing("updateDialog"), 3000, "no update dialog")
        const dialog = find("updateDialog")
        waitForItemPolished(dialog.footer)
        openedUrls = []
        dialog.openUrl = url => openedUrls.push(url.toString())
        return dialog
    }
    function textOf(name) { return find(name).text }

    function test_aNewerVersionLinksItsReleaseNotesAndDownload() {
        UpdateFeed.offer("99.1", true)
        openWindow("today")
        const dialog = checkFromMenu()
        compare(textOf("updateTitle"), "A new version is available")
        compare(textOf("updateMessage"), "Quill Brook 99.1 is available — you have " + UpdateFeed.runningVersion + ".")
        compare(textOf("closeUpdateButton"), "Not Now")

        const link = find("releaseNotesLink")
        verify(link.visible)
        compare(link.text, "Release Notes")
        mouseClick(link)
        compare(openedUrls, ["https://quillbrook.example/notes"])
        verify(dialog.opened) // reading the notes is no answer yet

        const download = find("downloadButton")
        verify(download.visible)
        mouseClick(download)
        compare(openedUrls, ["https://quillbrook.example/notes", "https://quillbrook.example/download"])
        tryVerify(() => !dialog.visible)
    }

    Component { id: otherWindow; MainWindow { windowIndex: 1 } }

    function test_onlyTheWindowThatAskedShowsTheOutcome() {
        UpdateFeed.offer("0.0.1", false)
        const other = createTemporaryObject(otherWindow, null)
        openWindow("today")
        finishedSpy.clear()
        checkFromMenu()
        compare(finishedSpy.count, 1)
        const otherDialog = findChild(other, "updateDialog")
        verify(!otherDialog || !otherDialog.visible)
    }
    SignalSpy { id: finishedSpy; target: QuillbrookApp.updates; signalName: "userCheckFinished" }
}
