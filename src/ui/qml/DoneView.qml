import QtQuick
import QtQuick.Controls
import Quillbrook

// Completed to-dos by day of completion, newest first.
FocusScope {
    id: root
    required property MainWindowState state
    readonly property alias contextMenu: contextMenu.item

    DoneModel { id: rows; context: QuillbrookApp.context; environment: QuillbrookApp.environment }

    LazyPopup {
        id: contextMenu
        sourceComponent: TodoContextMenu {
            state: root.state
            restoreFocusTo: listView
            onCompleteRequested: (todo) => rows.reopen(todo)
        }
    }

    TodoListView {
        id: listView
        objectName: "doneList"
        anchors.fill: parent
        state: root.state
        model: rows
        // Space reopens, as the circle does.
        onCompleteRequested: (todo) => rows.reopen(todo)
        onContextMenuRequested: (todo, row, x, y) => contextMenu.get().show(row, x, y, todo)
        header: Item { height: Theme.listTopSpacer; width: 1 }
        section.property: "section"
        section.delegate: SectionHeader {
            required property string section
            width: ListView.view.width
            title: section
        }
        delegate: DoneRow {
            id: doneRow
            required property int index
            width: ListView.view.width
            selected: root.state.selectedTodoId === todoId
            // The current row holds the keyboard; the list answers its keys.
            Keys.forwardTo: [listView]
            focusShown: ListView.isCurrentItem && listView.activeFocus && listView.keyboardFocus
            onOpened: listView.rowClicked(index)
            onReopenRequested: rows.reopen(todo)
            onContextMenuRequested: (x, y) => listView.rowContextMenu(index, doneRow, x, y)
        }
        remove: Transition { NumberAnimation { property: "opacity"; to: 0; duration: 250 } }
        displaced: Transition { NumberAnimation { properties: "y"; duration: 200 } }
    }

    Placard {
        objectName: "emptyPlacard"
        anchors.centerIn: parent
        visible: rows.count === 0
        title: "Nothing done yet"
        symbol: "checkmark.circle"
    }
}
