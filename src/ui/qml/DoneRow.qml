import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Quillbrook

// One completed to-do: the circle reopens it; the time of completion on the right.
ItemDelegate {
    id: row
    required property var todo
    required property string todoId
    required property string displayTitle
    required property string completedTime
    property bool selected: false
    // The keyboard's place in the list: drawn with the focus ring.
    property bool focusShown: false
    signal reopenRequested()
    signal opened()
    // Right click, at a point in the row.
    signal contextMenuRequested(real x, real y)

    height: Math.max(implicitHeight, 36)
    topPadding: Theme.rowInsetVertical
    bottomPadding: Theme.rowInsetVertical
    leftPadding: Theme.rowInsetHorizontal
    rightPadding: Theme.rowInsetHorizontal
    Accessible.name: displayTitle
    // The list holds the keyboard focus; a row is never a stop of its own.
    focusPolicy: Qt.NoFocus
    background: Rectangle {
        radius: 6
        color: row.selected ? Theme.selectedRow : (row.hovered ? Theme.hoveredRow : Theme.windowBackground)
        FocusRing { shown: row.focusShown; inset: 1; radius: 6 }
    }
    onClicked: row.opened()
    TapHandler {
        acceptedButtons: Qt.RightButton
        onTapped: (point) => row.contextMenuRequested(point.position.x, point.position.y)
    }

    contentItem: RowLayout {
        spacing: 12
        AbstractButton {
            objectName: "circle"
            Layout.preferredWidth: Theme.circleSize
            Layout.preferredHeight: Theme.circleSize
            contentItem: CheckCircle { isCompleted: row.todo.isCompleted }
            background: null
            focusPolicy: Qt.NoFocus
            Accessible.name: "Mark as not done"
            onClicked: row.reopenRequested()
        }
        Text {
            objectName: "rowTitle"
            Layout.fillWidth: true
            text: row.displayTitle
            textFormat: Text.PlainText
            elide: Text.ElideRight
            maximumLineCount: 1
            font.pixelSize: Theme.bodySize
            font.strikeout: true
            color: Theme.secondaryText
        }
        Item { Layout.preferredWidth: 8 }
        Text {
            visible: text.length > 0
            text: row.completedTime
            color: Theme.tertiaryText
            font.pixelSize: Theme.footnoteSize
        }
    }
}
