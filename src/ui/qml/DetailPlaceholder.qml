import QtQuick
import QtQuick.Layouts
import Quillbrook

// The detail column: the selected to-do, or "No to-do selected".
Rectangle {
    id: root
    required property MainWindowState state
    color: Theme.detailBackground

    readonly property var todo: state.selectedTodo
    readonly property bool live: todo !== null && todo.isInContext

    Text {
        objectName: "noSelection"
        anchors.centerIn: parent
        visible: !root.live
        text: "No to-do selected"
        color: Theme.secondaryText
        font.pixelSize: Theme.bodySize
    }

    ColumnLayout {
        visible: root.live
        anchors.fill: parent
        anchors.margins: 24
        spacing: 10
        Text {
            Layout.fillWidth: true
            text: root.live ? QuillbrookApp.displayTitle(root.todo.title) : ""
            color: Theme.primaryText
            font.pixelSize: 20
            font.weight: Font.DemiBold
            wrapMode: Text.Wrap
        }
        Text {
            Layout.fillWidth: true
            visible: root.live && root.todo.hasNotes
            text: root.live ? root.todo.notes : ""
            color: Theme.secondaryText
            font.pixelSize: Theme.bodySize
            wrapMode: Text.Wrap
        }
        Item { Layout.fillHeight: true }
    }
}
