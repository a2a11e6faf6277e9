import QtQuick
import QtQuick.Window
import Quillbrook

// The settings window, fixed at the form's size.
Window {
    id: settingsWindow
    objectName: "settingsWindow"
    title: "Settings"
    width: 480
    height: 560
    minimumWidth: 480
    maximumWidth: 480
    minimumHeight: 560
    maximumHeight: 560
    color: Theme.detailBackground

    function present() {
        show()
        raise()
        requestActivate()
    }

    Shortcut {
        sequences: ["Esc", "Ctrl+W"]
        onActivated: settingsWindow.close()
    }

    SettingsView { anchors.fill: parent }
}
