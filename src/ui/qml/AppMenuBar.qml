import QtQuick
import QtQuick.Controls
import Quillbrook

// The application menu: this desktop has no global one, so each main window carries it.
MenuBar {
    id: bar
    signal aboutRequested()
    signal checkForUpdatesRequested()
    signal settingsRequested()
    signal newWindowRequested()

    palette.window: Theme.windowBackground
    palette.base: Theme.windowBackground
    palette.button: Theme.windowBackground
    palette.buttonText: Theme.primaryText
    palette.windowText: Theme.primaryText
    palette.text: Theme.primaryText
    palette.highlight: Theme.accent
    palette.highlightedText: "white"
    palette.light: Theme.rowHover
    palette.mid: Theme.separator
    palette.dark: Theme.separator

    background: Rectangle {
        implicitHeight: 28
        color: Theme.sidebarBackground
        Rectangle {
            anchors.bottom: parent.bottom
            width: parent.width
            height: 1
            color: Theme.separator
        }
    }
    delegate: MenuBarItem {
        id: barItem
        padding: 5
        leftPadding: 12
        rightPadding: 12
        font.pixelSize: Theme.bodySize
        contentItem: Text {
            text: barItem.text
            font: barItem.font
            color: Theme.primaryText
            verticalAlignment: Text.AlignVCenter
        }
        background: Rectangle {
            color: barItem.highlighted ? Theme.rowHover : "transparent"
        }
    }

    Menu {
        objectName: "appMenu"
        title: "Quill Brook"
        Action {
            objectName: "aboutAction"
            text: "About Quill Brook"
            onTriggered: bar.aboutRequested()
        }
        Action {
            objectName: "checkForUpdatesAction"
            text: "Check for Updates…"
            enabled: QuillbrookApp.updates.canCheckForUpdates
            onTriggered: bar.checkForUpdatesRequested()
        }
        MenuSeparator {}
        Action {
            objectName: "settingsAction"
            text: "Settings…"
            shortcut: StandardKey.Preferences
            onTriggered: bar.settingsRequested()
        }
        Action {
            objectName: "newWindowAction"
            text: "New Window"
            shortcut: "Ctrl+Shift+N"
            onTriggered: bar.newWindowRequested()
        }
        MenuSeparator {}
        Action {
            objectName: "quitAction"
            text: "Quit"
            shortcut: StandardKey.Quit
            onTriggered: Qt.quit()
        }
    }
}
