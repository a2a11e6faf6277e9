import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Quillbrook

// One subtask: tick it, rename it in place, Return to split into the next one, drag its handle
// (or Alt+Up/Down in its field) to move it. It is deleted by a swipe to the left, its context
// menu, or Delete in its empty field or on its circle.
SwipeDelegate {
    id: row
    required property var subtask
    required property string subtaskId
    required property int index
    required property TaskDetailController pane
    readonly property bool shouldFocus: pane.focusRequestId === subtaskId
    // How far the row follows the pointer while its handle is dragged.
    property real dragOffset: 0
    readonly property bool dragging: grip.dragging
    // How far the row steps aside for another one being dragged past it.
    property real displacement: 0
    // While dragged: the row index a drop would land before (the row count for the end);
    // -1 when the drag ends.
    signal dropTargetMoved(int target)
    signal dropped(int from, int to)
    // The subtask is about to be deleted from here; from the keyboard or the context menu the
    // pane moves the keyboard on.
    signal deleting(bool fromKeyboard)
    // Right click or the Menu key, at a point in the row.
    signal contextMenuRequested(real x, real y)

    function focusField() { field.forceActiveFocus() }
    function toggle() { controller.toggle() }
    function deleteSubtask(fromKeyboard) {
        row.deleting(fromKeyboard)
        controller.remove()
    }

    focusPolicy: Qt.NoFocus
    TapHandler {
        acceptedButtons: Qt.RightButton
        onTapped: (point) => row.contextMenuRequested(point.position.x, point.position.y)
    }
    // Delete on the row's circle deletes the subtask, before the window's Delete command
    // (which deletes the to-do) can take the key.
    Keys.onShortcutOverride: (event) => event.accepted = event.key === Qt.Key_Delete
                                                         && (circle.activeFocus || field.activeFocus)
    Keys.onDeletePressed: (event) => {
        event.accepted = circle.activeFocus
        if (event.accepted)
            row.deleteSubtask(true)
    }
    Keys.onMenuPressed: row.contextMenuRequested(16, row.height / 2)

    padding: 0
    topPadding: 2
    bottomPadding: 2
    leftPadding: 16
    rightPadding: 16
    // A dragged row floats over the others on a card of its own.
    background: Rectangle {
        color: Theme.detailBackground
        Rectangle {
            anchors.fill: parent
            anchors.leftMargin: 6
            anchors.rightMargin: 6
            visible: row.dragging
            radius: 8
            color: Theme.windowBackground
            border.color: Theme.separator
        }
    }
    z: dragging ? 2 : 0
    transform: Translate { y: row.dragOffset + row.displacement }

    SubtaskRowController {
        id: controller
        context: QuillbrookApp.context
        environment: QuillbrookApp.environment
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
            id: circle
            objectName: "subtaskCircle"
            Layout.preferredWidth: Theme.circleSize
            Layout.preferredHeight: Theme.circleSize
            contentItem: CheckCircle { isCompleted: row.subtask.isCompleted }
            background: Item { FocusRing { shown: circle.visualFocus; radius: width / 2 } }
            Accessible.name: row.subtask.isCompleted ? "Mark subtask as not done" : "Mark subtask as done"
            onClicked: controller.toggle()
        }
        PlainTextArea {
            id: field
            objectName: "subtaskField"
            Layout.fillWidth: true
            placeholderText: "Subtask"
            placeholderTextColor: Theme.tertiaryText
            wrapMode: TextEdit.Wrap
            // A field takes every press, so the row would only swipe from its edges: until the
            // field is being edited, a horizontal drag on it opens or closes the row's swipe,
            // and a click starts editing with the cursor where it was.
            selectByMouse: activeFocus
            activeFocusOnPress: false
            DragHandler {
                enabled: !field.activeFocus
                target: null
                yAxis.enabled: false
                onActiveChanged: {
                    if (active)
                        return
                    if (translation.x < -30)
                        row.swipe.open(SwipeDelegate.Right)
                    else if (translation.x > 30)
                        row.swipe.close()
                }
            }
            // The field takes every press: the row's right click is taken here too.
            TapHandler {
                acceptedButtons: Qt.RightButton
                onTapped: (point) => {
                    const inRow = field.mapToItem(row, point.position.x, point.position.y)
                    row.contextMenuRequested(inRow.x, inRow.y)
                }
            }
            TapHandler {
                enabled: !field.activeFocus
                onTapped: (point) => {
                    field.forceActiveFocus(Qt.MouseFocusReason)
                    field.cursorPosition = field.positionAt(point.position.x, point.position.y)
                }
            }
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
            // Delete in an empty field deletes the subtask, even one that had a title.
            Keys.onDeletePressed: (event) => {
                event.accepted = text.length === 0
                if (event.accepted)
                    row.deleteSubtask(true)
            }
            Keys.onMenuPressed: row.contextMenuRequested(x + cursorRectangle.x, height / 2)
            FocusRing {
                shown: field.activeFocus
                anchors.leftMargin: -6
                anchors.rightMargin: -6
            }
            // The keyboard's way to move a subtask: one row up or down.
            Keys.onPressed: (event) => {
                if (!(event.modifiers & Qt.AltModifier))
                    return
                if (event.key === Qt.Key_Up) {
                    row.pane.moveSubtask(row.index, row.index - 1)
                    event.accepted = true
                } else if (event.key === Qt.Key_Down) {
                    row.pane.moveSubtask(row.index, row.index + 2)
                    event.accepted = true
                }
            }
        }
        Symbol {
            objectName: "subtaskDragHandle"
            Layout.preferredWidth: 22
            name: "line.3.horizontal"
            color: Theme.tertiaryText
            // Shown where the pointer or the keyboard is, so idle rows stay quiet.
            opacity: row.hovered || field.activeFocus || grip.pressed ? 1 : 0
            MouseArea {
                id: grip
                readonly property Item list: row.ListView.view ? row.ListView.view.contentItem : null
                property real startY: 0
                property bool dragging: false
                anchors.fill: parent
                anchors.margins: -4
                cursorShape: dragging ? Qt.ClosedHandCursor : Qt.OpenHandCursor
                // The list would take a vertical drag for scrolling, the row for a swipe.
                preventStealing: true
                function listY(mouse) { return mapToItem(list, mouse.x, mouse.y).y }
                function finish() {
                    dragging = false
                    row.dragOffset = 0
                    row.dropTargetMoved(-1)
                }
                onPressed: (mouse) => { startY = listY(mouse) }
                onPositionChanged: (mouse) => {
                    const y = listY(mouse)
                    if (!dragging && Math.abs(y - startY) < Qt.styleHints.startDragDistance)
                        return
                    dragging = true
                    row.dragOffset = y - startY
                    row.dropTargetMoved(row.dropTargetAt(y))
                }
                onReleased: (mouse) => {
                    if (!dragging)
                        return
                    const target = row.dropTargetAt(listY(mouse))
                    finish()
                    row.dropped(row.index, target)
                }
                onCanceled: finish()
            }
        }
    }

    // The row a drop at `y` (in the list's content) lands before: the upper half of a row
    // means before it, the lower half after it; past the rows, the end.
    function dropTargetAt(y) {
        const view = ListView.view
        const count = view.count
        if (count === 0)
            return -1
        const first = view.itemAtIndex(0)
        if (first && y < first.y)
            return 0
        const hovered = view.indexAt(width / 2, y)
        if (hovered < 0)
            return count
        const item = view.itemAtIndex(hovered)
        return hovered + (y - item.y > item.height / 2 ? 1 : 0)
    }

    swipe.right: Rectangle {
        objectName: "subtaskDeleteAction"
        visible: row.swipe.position < 0
        width: 84
        height: row.height
        anchors.right: parent.right
        color: Theme.destructive
        // The row takes the mouse for swiping, so a button in here would never see a click;
        // the row reports clicks on its swipe items through this attached signal.
        SwipeDelegate.onClicked: row.deleteSubtask(false)
        Accessible.role: Accessible.Button
        Accessible.name: "Delete"
        Accessible.onPressAction: row.deleteSubtask(false)
        Row {
            spacing: 4
            anchors.centerIn: parent
            Symbol { name: "trash"; color: "white" }
            Text { text: "Delete"; color: "white"; font.pixelSize: Theme.bodySize }
        }
    }
}
