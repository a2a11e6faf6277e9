import QtQuick
import QtQuick.Controls
import Quillbrook

// A list of to-do rows that the keyboard drives as well as the mouse. Its current row is the
// window's selected to-do; Up and Down (Home, End) select another and the detail follows;
// Return or F2 edits the title; Space completes; the Menu key (or Shift+F10) opens the context
// menu; Delete asks to delete it; Alt+Up and Alt+Down ask to move the row. Rows call
// rowClicked when clicked, and forward their keys to the list.
ListView {
    id: list
    required property MainWindowState state
    // The ring shows where the keyboard is; a click on a row puts the list in focus without it.
    property bool keyboardFocus: true
    signal completeRequested(var todo)
    signal contextMenuRequested(var todo, Item row, real x, real y)
    signal moveRequested(int step)

    clip: true
    focus: true
    activeFocusOnTab: true
    keyNavigationEnabled: false
    currentIndex: -1
    boundsBehavior: Flickable.StopAtBounds
    ScrollBar.vertical: ScrollBar {}

    function currentTodo() {
        return currentIndex >= 0 ? model.todoAt(currentIndex) : null
    }
    function select(row) {
        if (count === 0)
            return
        currentIndex = Math.max(0, Math.min(count - 1, row))
        state.navigateTo(model.todoAt(currentIndex))
        positionViewAtIndex(currentIndex, ListView.Contain)
    }
    function rowClicked(row) {
        currentIndex = row
        state.navigateTo(model.todoAt(row))
        takeFocus()
        keyboardFocus = false
    }
    // The list itself takes the keyboard, even from a field inside it (the draft row), which
    // a plain forceActiveFocus would hand it straight back to.
    function takeFocus() {
        const focusedItem = Window.activeFocusItem
        for (let item = focusedItem; item; item = item.parent) {
            if (item === list) {
                if (focusedItem !== list)
                    focusedItem.focus = false
                break
            }
        }
        forceActiveFocus()
    }
    // A right click on a row: it becomes the current and selected row, then its menu opens.
    function rowContextMenu(row, item, x, y) {
        currentIndex = row
        const todo = model.todoAt(row)
        state.navigateTo(todo)
        contextMenuRequested(todo, item, x, y)
    }
    // The selected to-do is the current row, wherever it was chosen, and is scrolled to.
    function followSelection() {
        const row = model.indexOfId(state.selectedTodoId)
        if (row >= 0) {
            currentIndex = row
            positionViewAtIndex(row, ListView.Contain)
        }
    }
    Connections {
        target: list.state
        function onSelectedTodoChanged() { list.followSelection() }
    }
    Component.onCompleted: followSelection()

    onActiveFocusChanged: {
        if (!activeFocus)
            return
        keyboardFocus = true
        if (currentIndex < 0 && count > 0)
            currentIndex = 0
    }
    // A click on the list's empty space takes the focus (and ends editing elsewhere).
    TapHandler { onTapped: list.takeFocus() }

    // Delete is the list's own key here (the current row), before the window's Delete
    // command can take it.
    Keys.onShortcutOverride: (event) => event.accepted = event.key === Qt.Key_Delete
    Keys.onPressed: (event) => {
        keyboardFocus = true
        const alt = event.modifiers & Qt.AltModifier
        const todo = currentTodo()
        switch (event.key) {
        case Qt.Key_Up:
            if (alt)
                moveRequested(-1)
            else
                select(currentIndex - 1)
            break
        case Qt.Key_Down:
            if (alt)
                moveRequested(1)
            else
                select(currentIndex + 1)
            break
        case Qt.Key_Home:
            select(0)
            break
        case Qt.Key_End:
            select(count - 1)
            break
        case Qt.Key_Return:
        case Qt.Key_Enter:
        case Qt.Key_F2:
            if (todo)
                state.editTitle(todo)
            break
        case Qt.Key_Space:
            if (todo)
                completeRequested(todo)
            break
        case Qt.Key_Delete:
            if (todo)
                state.requestDelete(todo)
            break
        case Qt.Key_F10:
        case Qt.Key_Menu:
            if (event.key === Qt.Key_F10 && !(event.modifiers & Qt.ShiftModifier))
                return
            if (todo && currentItem) {
                state.navigateTo(todo)
                contextMenuRequested(todo, currentItem, 40, currentItem.height / 2)
            }
            break
        default:
            return
        }
        event.accepted = true
    }
}
