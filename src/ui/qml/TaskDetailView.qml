import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Quillbrook

// The detail pane: title, when and repeat, then Subtasks, Notes and Log.
Rectangle {
    id: pane
    objectName: "detailPane"
    required property var todo
    // Which tab shows: "subtasks", "notes" or "log".
    property alias selectedTab: detail.selectedTab
    readonly property alias subtaskMenu: subtaskMenu.item
    // "Delete To-Do" chosen: the window asks for confirmation.
    signal deleteRequested()
    // Editing the title ended with Return or Escape: the keyboard goes back to the list.
    signal editingFinished()

    // Return or F2 on a row: the title field takes the keyboard, all of it selected.
    function editTitle() {
        titleField.forceActiveFocus()
        titleField.selectAll()
    }
    function commitDrafts() { detail.commitAll() }

    color: Theme.detailBackground

    TaskDetailController {
        id: detail
        context: QuillbrookApp.context
        environment: QuillbrookApp.environment
        undoCenter: QuillbrookApp.undoCenter
        todo: pane.todo
    }
    Component.onDestruction: detail.commitAll()

    SubtaskListModel { id: subtasks; todo: pane.todo }
    ChangeLogModel { id: changes; environment: QuillbrookApp.environment; todo: pane.todo }

    LazyPopup { id: subtaskMenu; sourceComponent: SubtaskContextMenu {} }

    ColumnLayout {
        anchors.fill: parent
        spacing: 0

        // Toolbar: completion and the More menu.
        RowLayout {
            Layout.fillWidth: true
            Layout.margins: 8
            spacing: 4
            Item { Layout.fillWidth: true }
            ToolButton {
                id: completionButton
                objectName: "completionButton"
                Accessible.name: text
                text: pane.todo.isCompleted ? "Mark as not done" : "Mark as done"
                contentItem: RowLayout {
                    spacing: 6
                    Symbol {
                        name: pane.todo.isCompleted ? "arrow.uturn.backward" : "checkmark.circle"
                        color: Theme.accent
                    }
                    Text {
                        text: pane.todo.isCompleted ? "Mark as not done" : "Mark as done"
                        color: Theme.primaryText
                        font.pixelSize: Theme.subheadlineSize
                    }
                }
                background: Rectangle {
                    radius: 6
                    color: parent.hovered ? Theme.rowHover : "transparent"
                    FocusRing { shown: completionButton.visualFocus }
                }
                onClicked: detail.toggleCompletion()
            }
            ToolButton {
                id: moreButton
                objectName: "moreButton"
                Accessible.name: "More"
                contentItem: Symbol { name: "ellipsis.circle"; color: Theme.primaryText }
                background: Rectangle {
                    radius: 6
                    color: parent.hovered ? Theme.rowHover : "transparent"
                    FocusRing { shown: moreButton.visualFocus }
                }
                onClicked: moreMenu.get().popup(moreButton, 0, moreButton.height)
                LazyPopup {
                    id: moreMenu
                    sourceComponent: AppMenu {
                        objectName: "moreMenu"
                        AppMenuItem {
                            objectName: "deleteTodoItem"
                            text: "Delete To-Do"
                            destructive: true
                            onTriggered: pane.deleteRequested()
                        }
                    }
                }
            }
        }

        // Header: the growing title field, then when and repeat.
        ColumnLayout {
            Layout.fillWidth: true
            Layout.leftMargin: 24
            Layout.rightMargin: 24
            Layout.bottomMargin: 12
            spacing: 8
            PlainTextArea {
                id: titleField
                objectName: "titleField"
                Layout.fillWidth: true
                Layout.maximumHeight: 4 * 30
                placeholderText: "Title"
                placeholderTextColor: Theme.tertiaryText
                wrapMode: TextEdit.Wrap
                leftPadding: 0
                color: Theme.primaryText
                font.pixelSize: 22
                font.weight: Font.DemiBold
                text: detail.titleDraft
                onTextChanged: if (text !== detail.titleDraft) detail.titleDraft = text
                onActiveFocusChanged: {
                    if (activeFocus)
                        detail.focusedField = "title"
                    else if (detail.focusedField === "title")
                        detail.focusedField = ""
                }
                Keys.onReturnPressed: finishEditing()
                Keys.onEnterPressed: finishEditing()
                Keys.onEscapePressed: finishEditing()
                function finishEditing() {
                    detail.commitTitle()
                    pane.forceActiveFocus()
                    pane.editingFinished()
                }
                FocusRing {
                    shown: titleField.activeFocus
                    anchors.leftMargin: -6
                    anchors.rightMargin: -6
                }
            }
            RowLayout {
                spacing: 8
                WhenMenu {
                    Layout.leftMargin: -4
                    todo: pane.todo
                }
                Item { Layout.fillWidth: true }
                RepeatMenu { todo: pane.todo }
            }
        }

        Rectangle { Layout.fillWidth: true; Layout.preferredHeight: 1; color: Theme.separator }

        // The tab bar with its sliding selection.
        Rectangle {
            id: tabBar
            Layout.fillWidth: true
            // Narrow panes give the tabs the room their labels need.
            Layout.leftMargin: pane.width < 360 ? 8 : 24
            Layout.rightMargin: pane.width < 360 ? 8 : 24
            Layout.topMargin: 8
            Layout.bottomMargin: 8
            implicitHeight: 34
            radius: 9
            color: Theme.dark ? Qt.rgba(1, 1, 1, 0.06) : Qt.rgba(0, 0, 0, 0.05)
            readonly property var tabs: [
                { key: "subtasks", title: "Subtasks" },
                { key: "notes", title: "Notes" },
                { key: "log", title: "Log" }
            ]
            readonly property real segmentWidth: (width - 6 - 4) / 3
            readonly property int selectedIndex: detail.selectedTab === "notes" ? 1 : detail.selectedTab === "log" ? 2 : 0

            Rectangle {
                objectName: "selectedSegment"
                x: 3 + tabBar.selectedIndex * (tabBar.segmentWidth + 2)
                y: 3
                width: tabBar.segmentWidth
                height: tabBar.height - 6
                radius: 7
                color: Theme.accent
                Behavior on x { SpringAnimation { spring: 6; damping: 0.45; epsilon: 0.25 } }
            }
            Row {
                id: tabRow
                x: 3
                y: 3
                spacing: 2
                Repeater {
                    model: tabBar.tabs
                    delegate: AbstractButton {
                        id: tabButton
                        required property var modelData
                        required property int index
                        readonly property bool selected: tabBar.selectedIndex === index
                        readonly property int badge: modelData.key === "subtasks" ? detail.openSubtaskCount
                                                    : modelData.key === "log" ? detail.changeCount : 0
                        objectName: "tab-" + modelData.key
                        width: tabBar.segmentWidth
                        height: tabBar.height - 6
                        Accessible.name: modelData.title
                        Accessible.selected: selected
                        // Around the segment, not on it: on the selected (accent) segment a ring on
                        // its edge would not show.
                        background: Item {
                            FocusRing { shown: tabButton.visualFocus; inset: -2; radius: 8 }
                        }
                        // Left and Right step through the tabs, as a segmented control does.
                        Keys.onLeftPressed: step(-1)
                        Keys.onRightPressed: step(1)
                        function step(delta) {
                            const next = (index + delta + tabBar.tabs.length) % tabBar.tabs.length
                            detail.selectedTab = tabBar.tabs[next].key
                            const target = tabRow.children[next]
                            if (target)
                                target.forceActiveFocus(Qt.TabFocusReason)
                        }
                        contentItem: Item {
                            Row {
                                objectName: "tabLabel"
                                anchors.centerIn: parent
                                spacing: 5
                                Text {
                                    anchors.verticalCenter: parent.verticalCenter
                                    text: modelData.title
                                    color: selected ? "white" : Theme.secondaryText
                                    font.pixelSize: Theme.subheadlineSize
                                    font.weight: Font.Medium
                                }
                                TabBadge {
                                    anchors.verticalCenter: parent.verticalCenter
                                    visible: badge > 0
                                    count: badge
                                    onAccent: selected
                                }
                            }
                        }
                        onClicked: detail.selectedTab = modelData.key
                    }
                }
            }
        }

        StackLayout {
            Layout.fillWidth: true
            Layout.fillHeight: true
            currentIndex: tabBar.selectedIndex

            // Subtasks
            ListView {
                id: subtaskList
                objectName: "subtaskList"
                clip: true
                model: subtasks
                boundsBehavior: Flickable.StopAtBounds
                // No current row: a current row that moves would take the focus from the field
                // being typed in.
                currentIndex: -1
                // While a subtask is dragged: its row, its height and the row it would land
                // before (the count for the end); -1 when nothing is dragged.
                property int dragFrom: -1
                property int dropTarget: -1
                property real dragHeight: 0

                // After a subtask row goes, the keyboard moves to the row now in its place,
                // else the one above it, else the add field.
                function focusRowAt(index) {
                    // The deleted row leaves the view at its next layout; that must be now.
                    forceLayout()
                    if (count === 0) {
                        if (footerItem)
                            footerItem.field.forceActiveFocus()
                        return
                    }
                    const row = itemAtIndex(Math.min(index, count - 1))
                    if (row)
                        row.focusField()
                }
                delegate: SubtaskRow {
                    id: subtaskRow
                    width: ListView.view.width
                    pane: detail
                    // The rows between the dragged one and where it would land step aside,
                    // opening the gap it will drop into.
                    displacement: {
                        const list = subtaskList
                        if (list.dragFrom < 0 || list.dragFrom === index)
                            return 0
                        if (list.dragFrom < index && index < list.dropTarget)
                            return -list.dragHeight
                        if (list.dropTarget <= index && index < list.dragFrom)
                            return list.dragHeight
                        return 0
                    }
                    onDropTargetMoved: (target) => {
                        subtaskList.dragHeight = height
                        subtaskList.dropTarget = target
                        subtaskList.dragFrom = target < 0 ? -1 : index
                    }
                    onDropped: (from, to) => detail.moveSubtask(from, to)
                    onDeleting: (fromKeyboard) => {
                    const place = index // the row's index is gone once it is removed
                    if (fromKeyboard)
                        Qt.callLater(() => subtaskList.focusRowAt(place))
                }
                    onContextMenuRequested: (x, y) => subtaskMenu.get().show(subtaskRow, x, y)
                }
                footer: Item {
                    property alias field: addField
                    width: ListView.view.width
                    height: addRow.visible ? addRow.implicitHeight : 0
                    RowLayout {
                        id: addRow
                        visible: subtasks.count === 0 || detail.isAddingSubtask
                        anchors.left: parent.left
                        anchors.right: parent.right
                        anchors.leftMargin: 16
                        anchors.rightMargin: 16
                        implicitHeight: 36
                        spacing: 12
                        CheckCircle { Accessible.ignored: true }
                        TextField {
                            id: addField
                            objectName: "addSubtaskField"
                            Layout.fillWidth: true
                            placeholderText: "Add subtask"
                            placeholderTextColor: Theme.tertiaryText
                            background: null
                            leftPadding: 0
                            color: Theme.primaryText
                            font.pixelSize: Theme.bodySize
                            text: detail.newSubtaskDraft
                            onTextChanged: if (text !== detail.newSubtaskDraft) detail.newSubtaskDraft = text
                            onActiveFocusChanged: detail.addSubtaskFocused = activeFocus
                            Keys.onReturnPressed: detail.submitNewSubtask()
                            Keys.onEnterPressed: detail.submitNewSubtask()
                            FocusRing {
                                shown: addField.activeFocus
                                anchors.leftMargin: -6
                                anchors.rightMargin: -6
                            }
                            Connections {
                                target: detail
                                function onAddSubtaskFocusedChanged() {
                                    if (detail.addSubtaskFocused && !addField.activeFocus)
                                        addField.forceActiveFocus()
                                }
                            }
                        }
                    }
                }
            }

            // Notes: scrolled by the wheel, the keyboard and the caret.
            Item {
                ScrollView {
                    id: notesScroll
                    objectName: "notesScroll"
                    anchors.fill: parent
                    leftPadding: 16
                    rightPadding: 16
                    topPadding: 7
                    ScrollBar.horizontal.policy: ScrollBar.AlwaysOff
                    PlainTextArea {
                        id: notesField
                        objectName: "notesField"
                        wrapMode: TextEdit.Wrap
                        color: Theme.primaryText
                        font.pixelSize: Theme.bodySize
                        placeholderText: "Add notes"
                        placeholderTextColor: Theme.tertiaryText
                        text: detail.notesDraft
                        onTextChanged: if (text !== detail.notesDraft) detail.notesDraft = text
                        onActiveFocusChanged: {
                            if (activeFocus)
                                detail.focusedField = "notes"
                            else if (detail.focusedField === "notes")
                                detail.focusedField = ""
                        }
                    }
                }
                FocusRing { shown: notesField.activeFocus; inset: 2 }
            }

            // Log
            ListView {
                objectName: "changeLog"
                clip: true
                model: changes
                boundsBehavior: Flickable.StopAtBounds
                delegate: ChangeLogRow { width: ListView.view.width }
            }
        }
    }
}
