import QtQuick
import QtTest
import Quillbrook
import QuillbrookTest

// The settings window.
MainWindowCase {
    name: "Settings"

    Component { id: settingsWindowComponent; SettingsWindow {} }

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
}
