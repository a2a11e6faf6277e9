import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Quillbrook

// One Quick Find hit: mark, title with the matches emphasised, status word, notes mark.
ItemDelegate {
    id: row
    required property var todo
    required property string todoId
    required property string status
    required property string titleMarkup
    required property string displayTitle
    property bool selected: false
    // The keyboard's place in the list: drawn with the focus ring.
    property bool focusShown: false
    signal opened()

    topPadding: Theme.rowInsetVertical
    bottomPadding: Theme.rowInsetVertical
    leftPadding: Theme.rowInsetHorizontal
    rightPadding: Theme.rowInsetHorizontal
    Accessible.name: displayTitle + ", " + status
    focusPolicy: Qt.NoFocus
    background: Rectangle {
        radius: 6
        color: row.selected ? Theme.selectedRow : (row.hovered ? Theme.hoveredRow : Theme.windowBackground)
        FocusRing { shown: row.focusShown; inset: 1; radius: 6 }
    }
    onClicked: row.opened()

    contentItem: RowLayout {
        spacing: 12
        CheckCircle {
            isCompleted: row.todo.isCompleted
            Accessible.ignored: true
        }
        ColumnLayout {
            Layout.fillWidth: true
            spacing: 2
            // The title is escaped by the model; only its emphasis is markup.
            Text {
                objectName: "rowTitle"
                Layout.fillWidth: true
                textFormat: Text.StyledText
                text: row.titleMarkup
                elide: Text.ElideRight
                maximumLineCount: 1
                font.pixelSize: Theme.bodySize
                font.strikeout: row.todo.isCompleted
                color: row.todo.isCompleted ? Theme.secondaryText : Theme.primaryText
            }
            Text {
                text: row.status
                textFormat: Text.PlainText
                color: Theme.tertiaryText
                font.pixelSize: Theme.captionSize
            }
        }
        Item { Layout.preferredWidth: 8 }
        Symbol {
            visible: row.todo.hasNotes
            name: "text.alignleft"
            size: Theme.footnoteSize + 3
            color: Theme.tertiaryText
        }
    }
}
