import QtQuick
import QtQuick.Controls
import Quillbrook

// A subtask's context menu (right click or the Menu key on its row): Complete and Delete.
AppMenu {
    id: menu
    objectName: "subtaskContextMenu"
    property Item row: null

    function show(target, x, y) {
        row = target
        popup(target, x, y)
    }

    AppMenuItem {
        objectName: "subtaskCompleteItem"
        text: menu.row && menu.row.subtask.isCompleted ? "Mark as Not Done" : "Complete"
        onTriggered: menu.row.toggle()
    }
    MenuSeparator {}
    AppMenuItem {
        objectName: "subtaskDeleteItem"
        text: "Delete"
        destructive: true
        onTriggered: menu.row.deleteSubtask(true)
    }
}
