import QtQuick
import QtTest
import Quillbrook
import QuillbrookTest

// The settings window and the application menu.
MainWindowCase {
    name: "Settings"

    Component { id: settingsWindowComponent; SettingsWindow {} }
    SignalSpy { id: spy }

    function cleanup() {
        QuillbrookApp.preferences.appearance = "system"
        QuillbrookApp.preferences.openTo = "lastUsed"
        QuillbrookApp.preferences.keepInTray = true
    }

    function openSettings() {
        const settings = createTemporaryObject(settingsWindowComponent, null)
        settings.present()
        tryVerify(() => settings.visible)
        return settings
    }
    function pickerIn(settingsWindow, name) {
        const picker = findChild(settingsWindow.contentItem, name)
        verify(picker, "no picker " + name)
        return picker
    }

    function test_thePickersShowTheStoredValuesAndWriteAtOnce() {
        const settings = openSettings()
        const theme = pickerIn(settings, "themePicker")
        const openTo = pickerIn(settings, "openToPicker")
        compare(theme.displayText, "System")
        compare(openTo.displayText, "Last used")
        compare(findChild(settings.contentItem, "accountStatus").text, "Not signed in")
        verify(/^\S+ \(\S+\)$/.test(findChild(settings.contentItem, "versionText").text))

        openTo.activated(2)
        compare(QuillbrookApp.preferences.openTo, "later")
        compare(openTo.displayText, "Later")
    }

    function test_signingInToAnAddressThatIsNotAllowedSaysWhyAndKeepsTheDialogOpen() {
        const settings = openSettings()
        tryVerify(() => settings.active)
        const signIn = findChild(settings.contentItem, "signInButton")
        verify(signIn.visible && signIn.enabled)
        mouseClick(signIn)
        const dialog = findChild(settings, "signInDialog")
        waitForDialog(dialog)
        compare(findChild(dialog.contentItem, "listField").text, "Quill Brook")
        typeText("http://example.org/dav")
        keyClick(Qt.Key_Tab)
        typeText("alice")
        keyClick(Qt.Key_Tab)
        typeText("not sent")
        keyClick(Qt.Key_Return)
        const error = findChild(dialog.contentItem, "signInError")
        tryVerify(() => error.visible && error.text.indexOf("https://") >= 0)
        verify(dialog.opened)
        compare(findChild(settings.contentItem, "accountStatus").text, "Not signed in")
        keyClick(Qt.Key_Escape)
        tryVerify(() => !dialog.opened)
    }

    function test_theTraySwitchShowsAndWritesThePreference() {
        const settings = openSettings()
        const toggle = findChild(settings.contentItem, "keepInTraySwitch")
        verify(toggle, "no tray switch")
        verify(toggle.checked)
        mouseClick(toggle)
        compare(QuillbrookApp.preferences.keepInTray, false)
        verify(!toggle.checked)
        QuillbrookApp.preferences.keepInTray = true
        verify(toggle.checked)
    }

    function test_darkTurnsTheMainAndSettingsWindowsDarkAtOnce() {
        openWindow("today")
        const settings = openSettings()
        const lightMain = String(window.color)
        const lightSettings = String(settings.color)
        pickerIn(settings, "themePicker").activated(2)
        compare(QuillbrookApp.preferences.appearance, "dark")
        verify(QuillbrookApp.dark)
        verify(String(window.color) !== lightMain)
        verify(String(settings.color) !== lightSettings)

        pickerIn(settings, "themePicker").activated(1)
        verify(!QuillbrookApp.dark)
        compare(String(window.color), lightMain)
    }

    function test_theApplicationMenuHoldsItsCommandsInOrder() {
        openWindow("today")
        const menu = find("appMenu")
        compare(menu.title, "Quill Brook")
        const titles = []
        for (let i = 0; i < menu.count; ++i) {
            const entry = menu.itemAt(i)
            if (entry.text)
                titles.push(entry.text)
        }
        compare(titles, ["About Quill Brook", "Check for Updates…", "Settings…", "New Window", "Quit"])
        compare(menu.itemAt(1).enabled, QuillbrookApp.updates.canCheckForUpdates)

        spy.target = window
        spy.signalName = "settingsRequested"
        spy.clear()
        menu.itemAt(3).action.trigger()
        compare(spy.count, 1)
        spy.signalName = "newWindowRequested"
        spy.clear()
        menu.itemAt(4).action.trigger()
        compare(spy.count, 1)
    }
}
