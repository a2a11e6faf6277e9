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

    title: "Quill Brook"
    width: 960
    height: 640
    minimumWidth: 170 + 280 + 280
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
    palette.placeholderText: Theme.tertiaryText

    menuBar: AppMenuBar {
        onAboutRequested: about.open()
        onCheckForUpdatesRequested: window.checkForUpdates()
        onSettingsRequested: window.settingsRequested()
        onNewWindowRequested: window.newWindowRequested()
    }
    AboutDialog { id: about }
    UpdateDialog { id: updateDialog }
    StoreNoticeDialog {}

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
            updateDialog.open()
        }
    }

    MainWindowState {
        id: windowState
        app: QuillbrookApp
        windowIndex: window.windowIndex
        onDraftRequested: if (contentLoader.item && contentLoader.item.openDraft) contentLoader.item.openDraft()
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
    onClosing: windowState.saveFrame(Qt.rect(x, y, width, height))

    Connections {
        target: Qt.application
        function onStateChanged() {
            if (Qt.application.state === Qt.ApplicationActive)
                QuillbrookApp.becameActive()
        }
    }

    Shortcut {
        sequences: [StandardKey.New]
        onActivated: windowState.newTodo()
    }
    // The hidden undo: the toast's offer, from the keyboard.
    Shortcut {
        sequences: [StandardKey.Undo]
        enabled: QuillbrookApp.undoCenter.hasPending && !(activeFocusItem instanceof TextInput)
                 && !(activeFocusItem instanceof TextEdit)
        onActivated: QuillbrookApp.undo()
    }
    Shortcut {
        sequences: [StandardKey.Find]
        onActivated: searchField.forceActiveFocus()
    }
    Shortcut {
        sequence: "Ctrl+Shift+N"
        onActivated: window.newWindowRequested()
    }
    Shortcut {
        sequences: [StandardKey.Preferences, "Ctrl+,"]
        onActivated: window.settingsRequested()
    }
    Shortcut {
        sequences: [StandardKey.Quit]
        onActivated: Qt.quit()
    }

    SplitView {
        id: split
        anchors.fill: parent
        handle: Rectangle {
            implicitWidth: 1
            color: Theme.separator
        }

        Sidebar {
            SplitView.minimumWidth: 170
            SplitView.preferredWidth: 190
            SplitView.maximumWidth: 240
            state: windowState
        }

        ColumnLayout {
            SplitView.minimumWidth: 280
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
                    border.color: searchField.activeFocus ? Theme.accent : "transparent"
                }
                Keys.onEscapePressed: text = ""
            }

            Loader {
                id: contentLoader
                Layout.fillWidth: true
                Layout.fillHeight: true
                // Rebuilt on a new reference day, so the lists' queries start from that day.
                property string key: (windowState.searching ? "search" : windowState.perspective)
                                     + "@" + windowState.referenceDay
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
            SplitView.fillWidth: true
            SplitView.minimumWidth: 280
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
