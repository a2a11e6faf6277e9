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

    function test_theControlsShowTheStoredValuesAndWriteAtOnce() {
        const settings = openSettings()
        const theme = findChild(settings.contentItem, "themePicker")
        const openTo = findChild(settings.contentItem, "openToPicker")
        const tray = findChild(settings.contentItem, "keepInTraySwitch")
        compare(theme.displayText, "System")
        compare(openTo.displayText, "Last used")
        verify(tray.checked)
        verify(/^\S+ \(\S+\)$/.test(findChild(settings.contentItem, "versionText").text))

        openTo.activated(2)
        compare(QuillbrookApp.preferences.openTo, "later")
        compare(openTo.displayText, "Later")
        mouseClick(tray)
        compare(QuillbrookApp.preferences.keepInTray, false)
        verify(!tray.checked)
        QuillbrookApp.preferences.keepInTray = true
        verify(tray.checked)
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

    // A theme picked turns the main and settings windows at once, and the highlighted entry of
    // a drop-down list reads: its lightest and darkest pixels differ as text and background
    // must (a contrast of at least 4.5).
    function luminance(color) {
        const channel = (c) => c <= 0.03928 ? c / 12.92 : Math.pow((c + 0.055) / 1.055, 2.4)
        return 0.2126 * channel(color.r) + 0.7152 * channel(color.g) + 0.0722 * channel(color.b)
    }

    function test_aThemeTurnsBothWindowsAtOnceAndItsPickerReads_data() {
        return [ { tag: "light", index: 1, dark: false }, { tag: "dark", index: 2, dark: true } ]
    }
    function test_aThemeTurnsBothWindowsAtOnceAndItsPickerReads(data) {
        openWindow("today")
        const settings = openSettings()
        const systemColors = [String(window.color), String(settings.color)]
        const theme = findChild(settings.contentItem, "themePicker")
        theme.activated(data.index)
        compare(QuillbrookApp.preferences.appearance, data.tag)
        compare(QuillbrookApp.dark, data.dark)
        // Offscreen, the system's scheme is the light one.
        compare(String(window.color) !== systemColors[0], data.dark)
        compare(String(settings.color) !== systemColors[1], data.dark)

        mouseClick(theme)
        tryVerify(() => theme.popup.opened)
        // The whole list shows: nothing of its last entry is cut off.
        const list = theme.popup.contentItem
        tryVerify(() => list.height >= list.contentHeight - 0.5)
        keyClick(Qt.Key_Down)
        const row = theme.popup.contentItem.itemAtIndex(theme.highlightedIndex)
        verify(row && row.highlighted)
        waitForRendering(settings.contentItem)
        const root = settings.contentItem
        let lightest = 0, darkest = 1
        countPixels(grabImage(root), row, root, -2, 1, pixel => {
            lightest = Math.max(lightest, luminance(pixel))
            darkest = Math.min(darkest, luminance(pixel))
        })
        const contrast = (lightest + 0.05) / (darkest + 0.05)
        verify(contrast >= 4.5, "the highlighted entry's contrast is " + contrast.toFixed(2))
        keyClick(Qt.Key_Escape)
    }
}
