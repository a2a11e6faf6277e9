import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Quillbrook

// One main window: perspectives, the chosen list (or Quick Find) and the selected to-do.
ApplicationWindow {
    id: window
    property int windowIndex: 0
    signal newWindowRequested()
    signal settingsRequested()
    signal shortcutsRequested()

    title: "Quill Brook"
    width: 960
    height: 640
    // The three columns at their narrowest, with the two dividers between them.
    minimumWidth: sidebarMinimum + contentMinimum + detailMinimum + 2
    minimumHeight: 360
    visible: true
    color: Theme.windowBackground
    palette.window: Theme.windowBackground
    palette.base: Theme.windowBackground
    palette.text: Theme.primaryText
    palette.windowText: Theme.primaryText
    palette.buttonText: Theme.primaryText
    palette.button: Theme.sidebarBackground
    palette.highlight: Theme.accent
    palette.highlightedText: "white"
    palette.placeholderText: Theme.tertiaryText

    readonly property int sidebarMinimum: 170
    readonly property int contentMinimum: 280
    readonly property int detailMinimum: 280
    readonly property string perspective: windowState.perspective
    // Where popups, menus and dialogs show.
    readonly property Item overlay: Overlay.overlay

    // The text field the Edit commands act on: the focused one, kept while a menu is open.
    property Item editTarget: null
    readonly property bool canUndo: QuillbrookApp.undoCenter.hasPending
                                    || (editTarget !== null && editTarget.canUndo)
    readonly property bool canDelete: editTarget !== null ? editTarget.selectedText.length > 0
                                                          : windowState.selectedTodo !== null
    onActiveFocusItemChanged: {
        const item = activeFocusItem
        if (item instanceof TextInput || item instanceof TextEdit)
            editTarget = item
        else if (item && !insidePopup(item))
            editTarget = null
    }
    function insidePopup(item) {
        for (let parent = item; parent; parent = parent.parent) {
            if (parent === Overlay.overlay)
                return true
        }
        return false
    }

    menuBar: AppMenuBar { id: appMenuBar; commands: window }
    LazyPopup { id: aboutDialog; sourceComponent: AboutDialog {} }
    LazyPopup { id: updateDialog; sourceComponent: UpdateDialog {} }
    // Built once there is a notice to show, and kept: it then follows the notices itself.
    LazyPopup {
        active: QuillbrookApp.storeNotice !== ""
        onLoaded: active = true
        sourceComponent: StoreNoticeDialog { onClosed: window.focusContent() }
    }
    LazyPopup {
        id: confirmation
        sourceComponent: DeleteConfirmation {
            onConfirmed: (todo) => windowState.deleteTodo(todo)
            onClosed: window.focusContent()
        }
    }

    // The commands of the menu bar and its shortcuts.
    function newTodo() { windowState.newTodo() }
    function about() { aboutDialog.get().open() }
    function undo() {
        if (editTarget !== null && editTarget.canUndo)
            editTarget.undo()
        else
            QuillbrookApp.undo()
    }
    function deleteSelection() {
        if (editTarget !== null)
            editTarget.remove(editTarget.selectionStart, editTarget.selectionEnd)
        else
            windowState.requestDelete(windowState.selectedTodo)
    }
    function find() {
        searchField.forceActiveFocus()
        searchField.selectAll()
    }
    function showPerspective(raw) {
        windowState.searchQuery = ""
        windowState.perspective = raw
        focusContent()
    }
    // The keyboard goes to the list (or Done, or the results) in the middle column.
    function focusContent() {
        const content = contentLoader.item
        if (content && content.focusList)
            content.focusList()
        else if (content)
            content.forceActiveFocus()
    }
    // Typed text is never lost: the draft row and the detail pane write what they hold.
    function commitDrafts() {
        if (contentLoader.item && contentLoader.item.commitDraft)
            contentLoader.item.commitDraft()
        detailColumn.commitDrafts()
    }
    function saveFrame() {
        windowState.saveFrame(Qt.rect(x, y, width, height))
    }

    // Only the window whose menu started the check shows its outcome; checks the updater runs
    // on its own show nothing.
    property bool awaitingUpdateCheck: false
    function checkForUpdates() {
        awaitingUpdateCheck = true
        if (!QuillbrookApp.updates.checkForUpdates())
            awaitingUpdateCheck = false
    }
    Connections {
        target: QuillbrookApp.updates
        function onUserCheckFinished() {
            if (!window.awaitingUpdateCheck)
                return
            window.awaitingUpdateCheck = false
            updateDialog.get().open()
        }
    }

    MainWindowState {
        id: windowState
        context: QuillbrookApp.context
        environment: QuillbrookApp.environment
        undoCenter: QuillbrookApp.undoCenter
        router: QuillbrookApp.router
        preferences: QuillbrookApp.preferences
        windowIndex: window.windowIndex
        onDraftRequested: if (contentLoader.item && contentLoader.item.openDraft) contentLoader.item.openDraft()
        onDeleteRequested: (todo, message) => {
            const dialog = confirmation.get()
            dialog.todo = todo
            dialog.message = message
            dialog.open()
        }
        onListFocusRequested: window.focusContent()
    }

    Component.onCompleted: {
        windowState.restorePerspective()
        const frame = windowState.savedFrame()
        if (frame.width > 0 && frame.height > 0 && windowIndex === 0) {
            x = frame.x; y = frame.y; width = frame.width; height = frame.height
        }
        QuillbrookApp.refreshWidget()
        windowState.followRoute()
    }
    onClosing: {
        commitDrafts()
        saveFrame()
    }

    Connections {
        target: Qt.application
        function onStateChanged() {
            if (Qt.application.state === Qt.ApplicationActive)
                QuillbrookApp.becameActive()
        }
        // Quit and the end of the session close no window: the frame is saved here too.
        function onAboutToQuit() {
            window.commitDrafts()
            if (window.visible)
                window.saveFrame()
        }
    }

    Shortcut {
        sequence: "F10"
        onActivated: appMenuBar.openFirstMenu()
    }
    // The menu shows Ctrl+?; keyboards that need Shift for "?" send Ctrl+Shift+/ too.
    Shortcut {
        sequences: ["Ctrl+Shift+/", "F1"]
        onActivated: window.shortcutsRequested()
    }

    SplitView {
        id: split
        anchors.fill: parent
        handle: Rectangle {
            implicitWidth: 1
            color: Theme.separator
        }

        // The widths the user gave the sidebar and the list (by dragging a divider); the
        // columns give way when the window is too narrow for them and the detail pane's
        // minimum, and take them back when it widens.
        property real sidebarWanted: 190
        property real contentWanted: 340
        function fitColumns() {
            const spare = Math.max(0, width - window.detailMinimum - 2)
            const content = Math.max(window.contentMinimum,
                                     Math.min(contentWanted, spare - window.sidebarMinimum))
            const sidebarWidth = Math.max(window.sidebarMinimum,
                                          Math.min(sidebarWanted, spare - content))
            sidebar.SplitView.preferredWidth = sidebarWidth
            contentColumn.SplitView.preferredWidth = content
        }
        onWidthChanged: fitColumns()
        onResizingChanged: {
            if (resizing)
                return
            sidebarWanted = sidebar.width
            contentWanted = contentColumn.width
            fitColumns()
        }

        Sidebar {
            id: sidebar
            SplitView.minimumWidth: window.sidebarMinimum
            SplitView.preferredWidth: 190
            SplitView.maximumWidth: 240
            state: windowState
        }

        ColumnLayout {
            id: contentColumn
            objectName: "contentColumn"
            SplitView.minimumWidth: window.contentMinimum
            SplitView.preferredWidth: 340
            spacing: 0

            ToolBar {
                Layout.fillWidth: true
                background: Rectangle {
                    color: Theme.windowBackground
                    Rectangle { anchors.bottom: parent.bottom; width: parent.width; height: 1; color: Theme.separator }
                }
                RowLayout {
                    anchors.fill: parent
                    anchors.leftMargin: 16
                    anchors.rightMargin: 8
                    spacing: 8
                    Text {
                        objectName: "contentTitle"
                        Layout.fillWidth: true
                        text: windowState.searching ? "Quick Find"
                            : windowState.perspective === "later" ? "Later"
                            : windowState.perspective === "done" ? "Done" : "Today"
                        color: Theme.primaryText
                        font.pixelSize: 17
                        font.weight: Font.Bold
                        elide: Text.ElideRight
                    }
                    ToolButton {
                        id: newTodoButton
                        objectName: "newTodoButton"
                        Accessible.name: "New To-Do"
                        ToolTip.visible: hovered
                        ToolTip.text: "New To-Do"
                        contentItem: Symbol { name: "plus"; color: Theme.primaryText; size: 18 }
                        background: Rectangle {
                            implicitWidth: 30
                            implicitHeight: 30
                            radius: 6
                            color: parent.down ? Theme.selection : (parent.hovered ? Theme.rowHover : "transparent")
                            FocusRing { shown: newTodoButton.visualFocus }
                        }
                        onClicked: windowState.newTodo()
                    }
                }
            }

            TextField {
                id: searchField
                objectName: "searchField"
                Layout.fillWidth: true
                Layout.margins: 8
                placeholderText: "Search to-dos"
                placeholderTextColor: Theme.tertiaryText
                color: Theme.primaryText
                font.pixelSize: Theme.bodySize
                text: windowState.searchQuery
                onTextChanged: windowState.searchQuery = text
                leftPadding: 28
                Symbol {
                    anchors.left: parent.left
                    anchors.leftMargin: 8
                    anchors.verticalCenter: parent.verticalCenter
                    name: "magnifyingglass"
                    color: Theme.tertiaryText
                }
                background: Rectangle {
                    radius: 7
                    color: Theme.dark ? Qt.rgba(1, 1, 1, 0.08) : Qt.rgba(0, 0, 0, 0.05)
                    FocusRing { shown: searchField.activeFocus; inset: 0 }
                }
                // Escape ends the search, Down goes to the results; either way the keyboard
                // is back in the list.
                Keys.onEscapePressed: {
                    text = ""
                    window.focusContent()
                }
                Keys.onDownPressed: window.focusContent()
            }

            Loader {
                id: contentLoader
                Layout.fillWidth: true
                Layout.fillHeight: true
                // Rebuilt on a new day, so the lists' queries start from that day.
                property string key: (windowState.searching ? "search" : windowState.perspective)
                                     + "@" + QuillbrookApp.environment.today
                // Chosen from the key alone, once per change: a binding on the component
                // besides the key would build the outgoing view again before the new one.
                function chosenComponent() {
                    return windowState.searching ? searchComponent
                         : windowState.perspective === "later" ? laterComponent
                         : windowState.perspective === "done" ? doneComponent : todayComponent
                }
                onKeyChanged: { sourceComponent = null; sourceComponent = chosenComponent() }
                Component.onCompleted: sourceComponent = chosenComponent()
            }
        }

        DetailPlaceholder {
            id: detailColumn
            SplitView.fillWidth: true
            SplitView.minimumWidth: window.detailMinimum
            state: windowState
        }
    }

    Component { id: todayComponent; TaskListView { state: windowState; list: "today" } }
    Component { id: laterComponent; TaskListView { state: windowState; list: "later" } }
    Component { id: doneComponent; DoneView { state: windowState } }
    Component { id: searchComponent; SearchResults { state: windowState } }

    UndoToast {
        anchors.horizontalCenter: parent.horizontalCenter
        anchors.bottom: parent.bottom
        anchors.bottomMargin: 16
        width: parent.width
    }
}
