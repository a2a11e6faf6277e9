import QtQuick
import QtQuick.Controls
import Quillbrook

// A to-do's context menu (right click or the Menu key on its row): Complete, When ›,
// Repeat › and Delete…. Each choice goes where the row's own controls go.
AppMenu {
    id: menu
    objectName: "todoContextMenu"
    required property MainWindowState state
    property var todo: null
    // Complete (or reopen) as the row's circle does.
    signal completeRequested(var todo)

    function show(target, x, y, forTodo) {
        todo = forTodo
        popup(target, x, y)
    }

    WhenMenuModel {
        id: when
        context: QuillbrookApp.context
        environment: QuillbrookApp.environment
        undoCenter: QuillbrookApp.undoCenter
        todo: menu.todo
    }
    RepeatMenuModel {
        id: repeat
        context: QuillbrookApp.context
        environment: QuillbrookApp.environment
        todo: menu.todo
    }

    Action {
        objectName: "completeAction"
        text: menu.todo && menu.todo.isCompleted ? "Mark as Not Done" : "Complete"
        onTriggered: menu.completeRequested(menu.todo)
    }
    AppMenu {
        objectName: "whenSubmenu"
        title: "When"
        AppMenuItem {
            text: "Today"
            checked: when.selectedOption === "today"
            onTriggered: when.pickToday()
        }
        AppMenuItem {
            text: "Tomorrow"
            checked: when.selectedOption === "tomorrow"
            onTriggered: when.pickTomorrow()
        }
        AppMenuItem {
            text: "Later"
            checked: when.selectedOption === "later"
            onTriggered: when.pickLater()
        }
    }
    AppMenu {
        objectName: "repeatSubmenu"
        title: "Repeat"
        component FrequencyItem: AppMenuItem {
            property string raw
            checked: repeat.storedFrequency === raw
            onTriggered: repeat.chooseFrequency(raw)
        }
        FrequencyItem { text: "Never"; raw: "" }
        FrequencyItem { text: "Daily"; raw: "daily" }
        FrequencyItem { text: "Weekly"; raw: "weekly" }
        FrequencyItem { text: "Monthly"; raw: "monthly" }
        FrequencyItem { text: "Yearly"; raw: "yearly" }
    }
    MenuSeparator {}
    AppMenuItem {
        objectName: "deleteTodoItem"
        destructive: true
        text: "Delete…"
        onTriggered: menu.state.requestDelete(menu.todo)
    }
}
