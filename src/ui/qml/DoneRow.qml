import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Quillbrook

// One completed to-do: the circle reopens it; the time of completion on the right.
ItemDelegate {
    id: row
    required property var todo
    required property string todoId
    property bool selected: false
    signal reopenRequested()
    signal opened()

    height: Math.max(implicitHeight, 36)
    topPadding: Theme.rowInsetVertical
    bottomPadding: Theme.rowInsetVertical
    leftPadding: Theme.rowInsetHorizontal
    rightPadding: Theme.rowInsetHorizontal
    Accessible.name: QuillbrookApp.displayTitle(todo.title)
    background: Rectangle {
        radius: 6
        color: row.selected ? Theme.selection : (row.hovered ? Theme.rowHover : Theme.windowBackground)
    }
    onClicked: row.opened()

    contentItem: RowLayout {
        spacing: 12
        AbstractButton {
            objectName: "circle"
            Layout.preferredWidth: Theme.circleSize
            Layout.preferredHeight: Theme.circleSize
            contentItem: CheckCircle { isCompleted: row.todo.isCompleted }
            background: null
            Accessible.name: "Mark as not done"
            onClicked: row.reopenRequested()
        }
        Text {
            Layout.fillWidth: true
            text: QuillbrookApp.displayTitle(row.todo.title)
            elide: Text.ElideRight
            maximumLineCount: 1
            font.pixelSize: Theme.bodySize
            font.strikeout: true
            color: Theme.secondaryText
        }
        Item { Layout.preferredWidth: 8 }
        Text {
            visible: text.length > 0
            text: QuillbrookApp.timeOfDay(row.todo.completedAt)
            color: Theme.tertiaryText
            font.pixelSize: Theme.footnoteSize
        }
    }
}
