import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Quillbrook

// One subtask: tick it, rename it in place, Return to split into the next one, swipe to delete.
SwipeDelegate {
    id: row
    required property var subtask
    required property string subtaskId
    required property TaskDetailController pane
    readonly property bool shouldFocus: pane.focusRequestId === subtaskId

    padding: 0
    topPadding: 2
    bottomPadding: 2
    leftPadding: 16
    rightPadding: 16
    background: Rectangle { color: Theme.detailBackground }

    SubtaskRowController {
        id: controller
        app: QuillbrookApp
        pane: row.pane
        subtask: row.subtask
    }

    // Focus goes to a new row as soon as it can take it: up to 12 tries, 40 ms apart.
    Timer {
        id: focusAttempts
        property int remaining: 0
        interval: 40
        repeat: true
        function begin() { remaining = 12; attempt(); start() }
        function attempt() {
            if (remaining <= 0 || field.activeFocus) {
                stop()
                row.pane.focusHandled(row.subtaskId)
                return
            }
            remaining -= 1
            field.forceActiveFocus()
        }
        onTriggered: attempt()
    }
    onShouldFocusChanged: if (shouldFocus) focusAttempts.begin()
    Component.onCompleted: if (shouldFocus) focusAttempts.begin()
    Component.onDestruction: controller.disappear()

    contentItem: RowLayout {
        spacing: 12
        AbstractButton {
            Layout.preferredWidth: Theme.circleSize
            Layout.preferredHeight: Theme.circleSize
            contentItem: CheckCircle { isCompleted: row.subtask.isCompleted }
            background: null
            Accessible.name: row.subtask.isCompleted ? "Mark subtask as not done" : "Mark subtask as done"
            onClicked: controller.toggle()
        }
        TextArea {
            id: field
            objectName: "subtaskField"
            Layout.fillWidth: true
            placeholderText: "Subtask"
            placeholderTextColor: Theme.tertiaryText
            wrapMode: TextEdit.Wrap
            background: null
            leftPadding: 0
            rightPadding: 0
            font.pixelSize: Theme.bodySize
            font.strikeout: row.subtask.isCompleted
            color: row.subtask.isCompleted ? Theme.secondaryText : Theme.primaryText
            text: controller.draft
            onTextChanged: if (text !== controller.draft) controller.draft = text
            onActiveFocusChanged: controller.focused = activeFocus
            Keys.onReturnPressed: (event) => {
                const rest = text.substring(cursorPosition)
                controller.draft = text.substring(0, cursorPosition)
                controller.returnPressed(rest.replace(/^[ \t]+|[ \t]+$/g, ""))
            }
        }
    }

    swipe.right: Rectangle {
        width: 84
        height: row.height
        anchors.right: parent.right
        color: Theme.destructive
        AbstractButton {
            anchors.fill: parent
            Accessible.name: "Delete"
            contentItem: Row {
                spacing: 4
                anchors.centerIn: parent
                Symbol { name: "trash"; color: "white" }
                Text { text: "Delete"; color: "white"; font.pixelSize: Theme.bodySize }
            }
            onClicked: controller.remove()
        }
    }
}
