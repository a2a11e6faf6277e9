import QtQuick
import QtQuick.Controls
import Quillbrook

// The window's menu bar (this desktop has no global one): File, Edit, View and Help, each
// command with its shortcut shown. Alt and a title's letter, or F10, opens a menu. The
// commands are the window's (`commands`: its MainWindow).
MenuBar {
    id: bar
    required property var commands

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
            text: barItem.text.replace("&", "")
            textFormat: Text.PlainText
            font: barItem.font
            color: barItem.highlighted ? Theme.menuHighlightedText : Theme.primaryText
            verticalAlignment: Text.AlignVCenter
        }
        background: Rectangle {
            radius: 5
            color: barItem.highlighted ? Theme.menuHighlight : "transparent"
        }
    }

    function openFirstMenu() {
        const first = bar.itemAt(0)
        if (first)
            first.clicked()
    }

    AppMenu {
        objectName: "fileMenu"
        title: "&File"
        Action {
            objectName: "newTodoAction"
            text: "New To-Do"
            shortcut: Shortcuts.command.newTodo
            onTriggered: bar.commands.newTodo()
        }
        Action {
            objectName: "newWindowAction"
            text: "New Window"
            shortcut: Shortcuts.command.newWindow
            onTriggered: bar.commands.newWindowRequested()
        }
        MenuSeparator {}
        Action {
            objectName: "closeWindowAction"
            text: "Close Window"
            shortcut: Shortcuts.command.closeWindow
            onTriggered: bar.commands.close()
        }
        Action {
            objectName: "quitAction"
            text: "Quit"
            shortcut: Shortcuts.command.quit
            onTriggered: Qt.quit()
        }
    }
    AppMenu {
        objectName: "editMenu"
        title: "&Edit"
        Action {
            objectName: "undoAction"
            text: "Undo"
            shortcut: Shortcuts.command.undo
            enabled: bar.commands.canUndo
            onTriggered: bar.commands.undo()
        }
        MenuSeparator {}
        Action {
            objectName: "cutAction"
            text: "Cut"
            shortcut: Shortcuts.command.cut
            enabled: bar.commands.editTarget !== null
            onTriggered: bar.commands.editTarget.cut()
        }
        Action {
            objectName: "copyAction"
            text: "Copy"
            shortcut: Shortcuts.command.copy
            enabled: bar.commands.editTarget !== null
            onTriggered: bar.commands.editTarget.copy()
        }
        Action {
            objectName: "pasteAction"
            text: "Paste"
            shortcut: Shortcuts.command.paste
            enabled: bar.commands.editTarget !== null
            onTriggered: bar.commands.editTarget.paste()
        }
        Action {
            objectName: "deleteAction"
            text: "Delete"
            shortcut: Shortcuts.command.remove
            enabled: bar.commands.canDelete
            onTriggered: bar.commands.deleteSelection()
        }
        MenuSeparator {}
        Action {
            objectName: "findAction"
            text: "Find"
            shortcut: Shortcuts.command.find
            onTriggered: bar.commands.find()
        }
        MenuSeparator {}
        Action {
            objectName: "settingsAction"
            text: "Settings…"
            shortcut: Shortcuts.command.settings
            onTriggered: bar.commands.settingsRequested()
        }
    }
    AppMenu {
        objectName: "viewMenu"
        title: "&View"
        Action {
            objectName: "todayAction"
            text: "Today"
            shortcut: Shortcuts.command.today
            onTriggered: bar.commands.showPerspective("today")
        }
        Action {
            objectName: "laterAction"
            text: "Later"
            shortcut: Shortcuts.command.later
            onTriggered: bar.commands.showPerspective("later")
        }
        Action {
            objectName: "doneAction"
            text: "Done"
            shortcut: Shortcuts.command.done
            onTriggered: bar.commands.showPerspective("done")
        }
    }
    AppMenu {
        objectName: "helpMenu"
        title: "&Help"
        Action {
            objectName: "shortcutsAction"
            text: "Keyboard Shortcuts"
            shortcut: Shortcuts.command.shortcuts
            onTriggered: bar.commands.shortcutsRequested()
        }
        Action {
            objectName: "checkForUpdatesAction"
            text: "Check for Updates…"
            enabled: QuillbrookApp.updates.canCheckForUpdates
            onTriggered: bar.commands.checkForUpdates()
        }
        MenuSeparator {}
        Action {
            objectName: "aboutAction"
            text: "About Quill Brook"
            onTriggered: bar.commands.about()
        }
    }
}
