import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Quillbrook

// The Today or Later list: rows in manual order (Later with day sections first), the inline
// draft row, deferred completion, swipe actions, context menu, drag reordering, and the list
// keys (arrows, Home, End, Return or F2, Space, Alt+arrows, the Menu key).
FocusScope {
    id: root
    required property MainWindowState state
    readonly property alias contextMenu: contextMenu.item
    required property string list

    readonly property bool draftOpen: draft.open
    readonly property bool isEmpty: list === "today" ? rows.mainCount === 0
                                                     : rows.mainCount === 0 && rows.datedCount === 0

    function openDraft() { focusAttempts.begin() }
    function focusList() { listView.takeFocus() }
    // The list goes away, or its window: what was typed into the draft is kept.
    function commitDraft() { draft.commitTyped() }
    Component.onDestruction: draft.commitTyped()

    TaskListModel {
        id: rows
        context: QuillbrookApp.context
        environment: QuillbrookApp.environment
        undoCenter: QuillbrookApp.undoCenter
        list: root.list
    }

    DraftController {
        id: draft
        context: QuillbrookApp.context
        environment: QuillbrookApp.environment
        composer: root.state.composer
        list: root.list
        onOpenChanged: if (open) focusAttempts.begin()
    }

    // Focus goes to the draft field as soon as it can take it: up to 12 tries, 40 ms apart.
    // The row is scrolled into view first, so nobody types blind.
    Timer {
        id: focusAttempts
        property int remaining: 0
        interval: 40
        repeat: true
        function begin() {
            remaining = 12
            listView.positionViewAtEnd()
            attempt()
            start()
        }
        function attempt() {
            if (remaining <= 0 || !draft.open || !listView.footerItem) { stop(); return }
            remaining -= 1
            if (!listView.footerItem.fieldFocused)
                listView.footerItem.focusField()
        }
        onTriggered: attempt()
    }

    LazyPopup {
        id: contextMenu
        sourceComponent: TodoContextMenu {
            state: root.state
            restoreFocusTo: listView
            onCompleteRequested: (todo) => QuillbrookApp.completions.start(todo)
        }
    }

    TodoListView {
        id: listView
        objectName: "taskList"
        anchors.fill: parent
        state: root.state
        model: rows
        spacing: 0
        onCompleteRequested: (todo) => QuillbrookApp.completions.start(todo)
        onContextMenuRequested: (todo, row, x, y) => contextMenu.get().show(row, x, y, todo)
        onMoveRequested: (step) => root.moveCurrent(step)

        // The index of the main row a drag would drop before, or -1.
        property int dropIndex: -1

        header: Item { height: Theme.listTopSpacer; width: 1 }

        section.property: "section"
        section.delegate: SectionHeader {
            required property string section
            width: ListView.view.width
            title: section
            visible: section.length > 0
            height: section.length > 0 ? implicitHeight : 0
        }

        delegate: TaskRow {
            id: taskRow
            required property int index
            required property bool inDaySection
            width: ListView.view.width
            selected: root.state.selectedTodoId === todoId
            // The current row holds the keyboard; the list answers its keys.
            Keys.forwardTo: [listView]
            focusShown: ListView.isCurrentItem && listView.activeFocus && listView.keyboardFocus
            // The revision is used, not just read: a compiled binding drops a read whose value
            // is thrown away, and with it the dependency that updates the row.
            isCompleting: QuillbrookApp.completions.revision >= 0
                          && QuillbrookApp.completions.isCompleting(todoId)
            leadingText: inDaySection || root.list === "later" ? "Today" : "Later"
            leadingSymbol: inDaySection || root.list === "later" ? "sun.horizon.fill" : "tray.full"
            onOpened: listView.rowClicked(index)
            onToggleRequested: QuillbrookApp.completions.start(todo)
            onLeadingTriggered: inDaySection ? rows.scheduleForToday(todo) : rows.moveToOtherList(todo)
            onDeleteRequested: root.state.requestDelete(todo)
            onContextMenuRequested: (x, y) => listView.rowContextMenu(index, taskRow, x, y)

            readonly property int mainIndex: inDaySection ? -1 : index - rows.datedCount

            // Dragging a main row vertically reorders it.
            DragHandler {
                enabled: !taskRow.inDaySection
                target: null
                xAxis.enabled: false
                grabPermissions: PointerHandler.CanTakeOverFromAnything
                onActiveChanged: {
                    if (active) {
                        listView.dropIndex = taskRow.mainIndex
                    } else if (listView.dropIndex >= 0) {
                        rows.moveMainRow(taskRow.mainIndex, listView.dropIndex)
                        listView.dropIndex = -1
                    }
                }
                onCentroidChanged: {
                    if (!active)
                        return
                    const point = listView.contentItem.mapFromItem(taskRow, centroid.position.x, centroid.position.y)
                    const hovered = listView.indexAt(10, point.y)
                    if (hovered < 0)
                        return
                    const hoveredMain = hovered - rows.datedCount
                    if (hoveredMain < 0)
                        return
                    const item = listView.itemAtIndex(hovered)
                    const lowerHalf = item && (point.y - item.y) > item.height / 2
                    listView.dropIndex = Math.min(rows.mainCount, hoveredMain + (lowerHalf ? 1 : 0))
                }
            }
        }

        footer: ColumnLayout {
            width: ListView.view.width
            spacing: 0
            property alias fieldFocused: addRow.fieldFocused
            function focusField() { addRow.focusField() }
            // With day sections and no undated rows, the draft row still sits under "Later".
            SectionHeader {
                Layout.fillWidth: true
                title: "Later"
                visible: draft.open && rows.hasDaySections && rows.mainCount === 0
            }
            AddTaskRow {
                id: addRow
                Layout.fillWidth: true
                visible: draft.open
                text: draft.text
                onTextChanged: draft.text = text
                onFieldFocusedChanged: draft.focused = fieldFocused
                onSubmitted: {
                    draft.commit()
                    listView.takeFocus()
                }
                // Escape leaves the field for the list; an empty draft closes.
                onCancelled: {
                    draft.cancel()
                    listView.takeFocus()
                }
            }
            Item { Layout.preferredHeight: 80 }
        }

        add: Transition { NumberAnimation { property: "opacity"; from: 0; to: 1; duration: 200 } }
        remove: Transition { NumberAnimation { property: "opacity"; to: 0; duration: 350; easing.type: Easing.OutQuad } }
        displaced: Transition { NumberAnimation { properties: "y"; duration: 200; easing.type: Easing.OutQuad } }
        move: Transition { NumberAnimation { properties: "y"; duration: 200; easing.type: Easing.OutQuad } }
    }

    // Alt+Up and Alt+Down move the current main row by one.
    function moveCurrent(step) {
        const item = listView.currentItem
        if (!item || item.mainIndex < 0)
            return
        const from = item.mainIndex
        const to = step < 0 ? from - 1 : from + 2
        if (to < 0 || to > rows.mainCount)
            return
        const id = item.todoId
        rows.moveMainRow(from, to)
        listView.currentIndex = rows.indexOfId(id)
    }

    // Where a dragged row will land.
    Rectangle {
        visible: listView.dropIndex >= 0
        readonly property var anchorItem: listView.itemAtIndex(Math.min(listView.count - 1, listView.dropIndex + rows.datedCount))
        x: 12
        width: root.width - 24
        height: 2
        color: Theme.accent
        y: anchorItem ? anchorItem.y - listView.contentY + (listView.dropIndex + rows.datedCount >= listView.count ? anchorItem.height : 0) : 0
    }

    Placard {
        objectName: "emptyPlacard"
        anchors.centerIn: parent
        visible: root.isEmpty && !draft.open
        title: root.list === "today" ? "Nothing for today" : "Nothing for later"
        symbol: root.list === "today" ? "sun.horizon.fill" : "tray.full"
    }
}
