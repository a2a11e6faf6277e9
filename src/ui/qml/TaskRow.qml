import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Quillbrook

// One open to-do in a task list: completion circle, title, overdue mark, repeat mark and one
// content indicator. Swipe right for the row's move action, left for Delete.
SwipeDelegate {
    id: row

    required property var todo
    required property string todoId
    required property string displayTitle
    // Dated before today and still open.
    required property bool overdue
    property bool selected: false
    property bool isCompleting: false
    // Leading swipe: label, symbol and action; none when leadingText is empty.
    property string leadingText
    property string leadingSymbol
    // The keyboard's place in the list: drawn with the focus ring.
    property bool focusShown: false
    signal toggleRequested()
    signal leadingTriggered()
    signal deleteRequested()
    signal opened()
    // Right click, at a point in the row.
    signal contextMenuRequested(real x, real y)

    readonly property bool done: todo.isCompleted || isCompleting

    height: Math.max(implicitHeight, 36)
    padding: 0
    topPadding: Theme.rowInsetVertical
    bottomPadding: Theme.rowInsetVertical
    leftPadding: Theme.rowInsetHorizontal
    rightPadding: Theme.rowInsetHorizontal
    opacity: isCompleting ? 0.55 : 1
    // The list holds the keyboard focus; a row is never a stop of its own.
    focusPolicy: Qt.NoFocus
    Behavior on opacity { NumberAnimation { duration: 250; easing.type: Easing.OutQuad } }

    Accessible.name: displayTitle

    // Opaque, so the swipe actions behind the row never show through it.
    background: Rectangle {
        color: row.selected ? Theme.selectedRow : (row.hovered ? Theme.hoveredRow : Theme.windowBackground)
        radius: 6
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
            id: circleButton
            objectName: "circle"
            Layout.preferredWidth: Theme.circleSize
            Layout.preferredHeight: Theme.circleSize
            contentItem: CheckCircle { isCompleted: row.done }
            background: null
            focusPolicy: Qt.NoFocus
            Accessible.name: row.done ? "Mark as not done" : "Mark as done"
            onClicked: row.toggleRequested()
        }
        Text {
            objectName: "rowTitle"
            Layout.fillWidth: true
            Layout.minimumWidth: 40
            text: row.displayTitle
            textFormat: Text.PlainText
            elide: Text.ElideRight
            maximumLineCount: 1
            font.pixelSize: Theme.bodySize
            font.strikeout: row.done
            color: row.done ? Theme.secondaryText : Theme.primaryText
        }
        Item { Layout.preferredWidth: 8 }
        Text {
            visible: row.overdue && !row.isCompleting
            objectName: "overdue"
            text: "Overdue"
            color: Theme.overdue
            font.pixelSize: Theme.captionSize
            font.weight: Font.DemiBold
            Accessible.name: "Overdue"
        }
        Symbol {
            visible: row.todo.isRepeating
            name: "repeat"
            size: Theme.footnoteSize + 3
            color: Theme.tertiaryText
            Accessible.ignored: false
            Accessible.name: "Repeats"
        }
        Symbol {
            readonly property bool subtasks: row.todo.subtaskCount > 0
            visible: subtasks || row.todo.hasNotes
            name: subtasks ? "checklist" : "text.alignleft"
            size: Theme.footnoteSize + 3
            color: Theme.tertiaryText
            Accessible.ignored: false
            Accessible.name: subtasks ? "Has subtasks" : "Has notes"
        }
    }

    // The actions behind the row exist only while it is swiped open.
    swipe.left: Rectangle {
        visible: row.leadingText.length > 0 && row.swipe.position > 0
        width: row.width
        height: row.height
        color: Theme.accent
        radius: 6
        Row {
            anchors.left: parent.left
            anchors.leftMargin: 16
            anchors.verticalCenter: parent.verticalCenter
            spacing: 6
            Symbol { name: row.leadingSymbol; color: "white" }
            Text { text: row.leadingText; textFormat: Text.PlainText; color: "white"; font.pixelSize: Theme.bodySize; font.weight: Font.DemiBold }
        }
    }
    swipe.right: Rectangle {
        id: deleteAction
        objectName: "deleteAction"
        visible: row.swipe.position < 0
        width: 84
        height: row.height
        anchors.right: parent.right
        color: Theme.destructive
        radius: 6
        function trigger() {
            row.swipe.close()
            row.deleteRequested()
        }
        // The delegate takes the mouse for swiping, so a button in here never sees a click;
        // the delegate reports clicks on its swipe items through this attached signal.
        SwipeDelegate.onClicked: trigger()
        Accessible.role: Accessible.Button
        Accessible.name: "Delete"
        Accessible.onPressAction: trigger()
        Row {
            spacing: 4
            anchors.centerIn: parent
            Symbol { name: "trash"; color: "white" }
            Text { text: "Delete"; color: "white"; font.pixelSize: Theme.bodySize; font.weight: Font.DemiBold }
        }
    }
    // A full swipe to the right performs the leading action.
    swipe.onCompleted: {
        if (swipe.position > 0 && row.leadingText.length > 0) {
            row.leadingTriggered()
            swipe.close()
        }
    }
}
