pragma Singleton
import QtQuick

// Every keyboard shortcut of the main window: the menu commands' keys (the menu bar reads
// them from here) and the keys of lists, fields, popovers and dialogs, in the sections the
// Keyboard Shortcuts window shows. Keys are in Qt's portable form.
QtObject {
    readonly property var command: ({
        newTodo: "Ctrl+N",
        newWindow: "Ctrl+Shift+N",
        closeWindow: "Ctrl+W",
        quit: "Ctrl+Q",
        undo: "Ctrl+Z",
        cut: "Ctrl+X",
        copy: "Ctrl+C",
        paste: "Ctrl+V",
        remove: "Del",
        find: "Ctrl+F",
        settings: "Ctrl+,",
        today: "Ctrl+1",
        later: "Ctrl+2",
        done: "Ctrl+3",
        shortcuts: "Ctrl+?"
    })

    readonly property var sections: [
        { title: "File", rows: [
            { title: "New To-Do", keys: [command.newTodo] },
            { title: "New Window", keys: [command.newWindow] },
            { title: "Close Window", keys: [command.closeWindow] },
            { title: "Quit", keys: [command.quit] } ] },
        { title: "Edit", rows: [
            { title: "Undo", keys: [command.undo] },
            { title: "Cut", keys: [command.cut] },
            { title: "Copy", keys: [command.copy] },
            { title: "Paste", keys: [command.paste] },
            { title: "Delete", keys: [command.remove] },
            { title: "Find", keys: [command.find] },
            { title: "Settings…", keys: [command.settings] } ] },
        { title: "View", rows: [
            { title: "Today", keys: [command.today] },
            { title: "Later", keys: [command.later] },
            { title: "Done", keys: [command.done] } ] },
        { title: "Help", rows: [
            { title: "Keyboard Shortcuts", keys: [command.shortcuts] } ] },
        { title: "In a list", rows: [
            { title: "Select the previous or next to-do", keys: ["Up", "Down"] },
            { title: "Select the first or last to-do", keys: ["Home", "End"] },
            { title: "Edit the title", keys: ["Return", "F2"] },
            { title: "Complete", keys: ["Space"] },
            { title: "Delete", keys: ["Del"] },
            { title: "Move the to-do up or down", keys: ["Alt+Up", "Alt+Down"] },
            { title: "Open the context menu", keys: ["Menu", "Shift+F10"] } ] },
        { title: "Editing", rows: [
            { title: "Finish the title, back to the list", keys: ["Return", "Esc"] },
            { title: "Next subtask (splits at the cursor)", keys: ["Return"] },
            { title: "Delete an empty subtask", keys: ["Del"] },
            { title: "Move a subtask up or down", keys: ["Alt+Up", "Alt+Down"] },
            { title: "Close an empty draft, clear the search", keys: ["Esc"] } ] },
        { title: "Popovers and dialogs", rows: [
            { title: "Next or previous control", keys: ["Tab", "Shift+Tab"] },
            { title: "Move between options and days", keys: ["Up", "Down", "Left", "Right"] },
            { title: "Previous or next month", keys: ["PgUp", "PgDown"] },
            { title: "Choose, or confirm a dialog", keys: ["Return", "Space"] },
            { title: "Close, or cancel a dialog", keys: ["Esc"] } ] }
    ]
}
