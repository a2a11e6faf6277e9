import QtQuick
import Quillbrook

// The detail column: the selected to-do's pane, or "No to-do selected".
Rectangle {
    id: root
    required property MainWindowState state
    color: Theme.detailBackground

    readonly property var todo: state.selectedTodo
    readonly property bool live: todo !== null && todo.isInContext

    function commitDrafts() {
        if (pane.item)
            pane.item.commitDrafts()
    }

    Text {
        objectName: "noSelection"
        anchors.centerIn: parent
        visible: !root.live
        text: "No to-do selected"
        color: Theme.secondaryText
        font.pixelSize: Theme.bodySize
    }

    // Rebuilt for each to-do, so its drafts start from that to-do.
    Loader {
        id: pane
        anchors.fill: parent
        active: root.live
        sourceComponent: TaskDetailView {
            todo: root.todo
            onDeleteRequested: root.state.requestDelete(root.todo, true)
            onEditingFinished: root.state.returnToList()
        }
    }
    Connections {
        target: root.state
        function onTitleEditRequested() {
            if (pane.item)
                pane.item.editTitle()
        }
    }
}
