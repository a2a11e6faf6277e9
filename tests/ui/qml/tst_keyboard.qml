import QtQuick
import QtTest
import Quillbrook
import QuillbrookTest

// Every action from the keyboard: a to-do's whole way without a single pointer event, the
// list keys, dialogs, popovers and context menus.
MainWindowCase {
    name: "Keyboard"

    // Tab to the button named `name` and Space: its popover opens, and is returned.
    function popoverByKeys(name) {
        tabTo(name)
        keyClick(Qt.Key_Space)
        const popup = find(name).popup
        tryVerify(() => popup.opened)
        return popup
    }

    function test_aToDoGoesItsWholeWayWithoutThePointer() {
        openWindowByKeys(Qt.Key_1)

        // Add it.
        keyClick(Qt.Key_N, Qt.ControlModifier)
        tryVerify(() => draftOpen() && draftField().activeFocus)
        typeText("Water the ferns")
        keyClick(Qt.Key_Return)
        tryVerify(() => !draftOpen())
        verify(listHasKeyboard(), "the keyboard is back in the list")
        const todo = titled("Water the ferns")[0]
        verify(todo)

        // Select it; the detail follows.
        keyClick(Qt.Key_End)
        compare(find("titleField").text, "Water the ferns")

        // Tomorrow from the When calendar, then Ctrl+Z puts it back on today.
        const when = popoverByKeys("whenButton")
        verify(find("whenCalendarKeys").activeFocus, "the calendar takes the keyboard")
        keyClick(Qt.Key_Right)
        keyClick(Qt.Key_Return)
        tryVerify(() => !when.visible)
        compare(Store.dayOffset(todo), 1)
        compare(find("whenLabel").text, "Tomorrow")
        tryVerify(() => focused() === find("whenButton"), 1000, "the keyboard is back on When")
        keyClick(Qt.Key_Z, Qt.ControlModifier)
        compare(Store.dayOffset(todo), 0)

        // Weekly, from the Repeat options by arrows; Escape closes the popover.
        const repeat = popoverByKeys("repeatButton")
        compare(focused(), find("repeatNever"))
        keyClick(Qt.Key_Down)
        keyClick(Qt.Key_Down)
        compare(focused(), find("repeatWeekly"))
        keyClick(Qt.Key_Space)
        verify(todo.isRepeating)
        keyClick(Qt.Key_Tab)
        verify(focused().objectName.startsWith("weekday-"), "Tab goes on to the weekdays")
        keyClick(Qt.Key_Escape)
        tryVerify(() => !repeat.visible)
        tryVerify(() => focused() === find("repeatButton"))

        // A subtask added; its row joins the Tab chain once the list has laid it out. (Emptied,
        // the Delete key deletes it: the subtask cases' matter.)
        tabTo("addSubtaskField")
        typeText("Buy soil")
        keyClick(Qt.Key_Return)
        compare(Store.subtaskTitles(todo), ["Buy soil"])
        waitForItemPolished(find("subtaskList"))
        tabTo("subtaskField", true)
        compare(focused().text, "Buy soil")

        // Complete it from the list with Space; it leaves Today.
        keyClick(Qt.Key_1, Qt.ControlModifier)
        verify(listHasKeyboard())
        compare(list().currentItem.todo, todo)
        keyClick(Qt.Key_Space)
        tryVerify(() => todo.isCompleted, 2000)
        tryVerify(() => listTitles().indexOf("Water the ferns") < 0)

        // Done lists it.
        keyClick(Qt.Key_3, Qt.ControlModifier)
        tryCompare(find("contentTitle"), "text", "Done")
        tryVerify(() => listTitles().indexOf("Water the ferns") >= 0)
    }

    function test_listKeysSelectEditReorderAndDelete() {
        for (const title of ["One", "Two", "Three"])
            Store.add(title, 0)
        openWindowByKeys(Qt.Key_1)
        const view = list()

        // The list starts on its first row; the arrows select.
        compare(view.currentIndex, 0)
        for (const [key, title] of [[Qt.Key_Down, "Two"], [Qt.Key_End, "Three"], [Qt.Key_Up, "Two"],
                                    [Qt.Key_Home, "One"]]) {
            keyClick(key)
            compare(find("titleField").text, title)
        }

        // Alt+Down moves the row, which stays the current one.
        keyClick(Qt.Key_Down, Qt.AltModifier)
        compare(listTitles(), ["Two", "One", "Three"])
        compare(view.currentItem.todo.title, "One")

        // F2 edits the title in the detail pane; Return commits and returns to the list.
        keyClick(Qt.Key_F2)
        verify(find("titleField").activeFocus)
        typeText("Uno")
        keyClick(Qt.Key_Return)
        verify(listHasKeyboard())
        compare(listTitles(), ["Two", "Uno", "Three"])

        // Delete asks and the Menu key opens the row's context menu; Escape closes either and
        // gives the keyboard back to the list. (Return confirms: the end-to-end case's delete.)
        for (const key of [Qt.Key_Delete, Qt.Key_Menu]) {
            keyClick(key)
            const popup = key === Qt.Key_Menu ? list().parent.contextMenu : find("deleteConfirmation")
            tryVerify(() => popup.opened)
            keyClick(Qt.Key_Escape)
            tryVerify(() => !popup.visible)
            tryVerify(listHasKeyboard)
        }
        compare(Store.todos().length, 3)
    }

    // Pixels around `item` drawn in the ring's colour in `image` that stand out from what
    // `without` (the same place without the ring) shows there: a ring that blends into what is
    // under it is no ring.
    function ringPixels(image, without, item, root) {
        return countPixels(image, item, root, 4, 1, (pixel, x, y) =>
            colourDistance(pixel, Theme.focusRing) < 0.15 && colourDistance(pixel, without.pixel(x, y)) > 0.35)
    }
    // Presses Tab `stops` times (or until focus comes back to where it started) and checks
    // that each control the keyboard lands on draws the ring, and that it goes with the focus.
    function checkRingsAlongTabs(root, stops) {
        const start = root.Window.window.activeFocusItem
        let image = grabImage(root)
        let previous = null
        const names = []
        for (let i = 0; i < stops; ++i) {
            keyClick(Qt.Key_Tab)
            const item = root.Window.window.activeFocusItem
            verify(item, "Tab left nothing focused after " + names.join(", "))
            waitForRendering(root)
            const next = grabImage(root)
            if (previous)
                verify(ringPixels(image, next, previous, root) >= 40,
                       "no focus ring went away from " + (previous.objectName || previous))
            verify(ringPixels(next, image, item, root) >= 40,
                   "no visible focus ring around " + (item.objectName || item))
            names.push(item.objectName || String(item))
            image = next
            previous = item
            if (item === start)
                break
        }
        return names
    }

    function test_everyControlTheKeyboardReachesShowsTheFocusRing_data() {
        return [ { tag: "light", appearance: "light" }, { tag: "dark", appearance: "dark" } ]
    }
    function test_everyControlTheKeyboardReachesShowsTheFocusRing(data) {
        QuillbrookApp.preferences.appearance = data.appearance
        const todo = Store.add("Ring", 0)
        Store.addSubtask(todo, "step")
        openWindowByKeys(Qt.Key_1)
        keyClick(Qt.Key_Down)
        const root = window.overlay.parent
        const names = checkRingsAlongTabs(root, 40)
        for (const name of ["sidebar-today", "newTodoButton", "searchField", "completionButton",
                            "moreButton", "titleField", "whenButton", "repeatButton", "tab-log",
                            "subtaskCircle", "subtaskField"])
            verify(names.indexOf(name) >= 0, name + " is not on the Tab chain: " + names.join(", "))

        // Inside the popovers and the delete dialog.
        popoverByKeys("whenButton")
        checkRingsAlongTabs(root, 5)
        keyClick(Qt.Key_Escape)
        popoverByKeys("repeatButton")
        find("repeatMonthly").clicked()
        checkRingsAlongTabs(root, 6)
        keyClick(Qt.Key_Escape)
        keyClick(Qt.Key_1, Qt.ControlModifier)
        keyClick(Qt.Key_Delete)
        tryVerify(() => find("deleteConfirmation").opened)
        checkRingsAlongTabs(root, 2)
        keyClick(Qt.Key_Escape)
        QuillbrookApp.preferences.appearance = "system"
    }

    Component { id: shortcutsWindowComponent; ShortcutsWindow {} }

    // The menu bar opens from the keyboard and shows each command's shortcut; the Keyboard
    // Shortcuts window lists every one of them.
    function test_theMenusShowTheirShortcutsAndTheShortcutsWindowListsThemAll() {
        openWindowByKeys(Qt.Key_1)
        const shortcuts = createTemporaryObject(shortcutsWindowComponent, null)
        window.shortcutsRequested.connect(shortcuts.present)

        // F10 opens the first menu and the right arrow walks the others; each shows its
        // entries' shortcuts, none cut short.
        keyClick(Qt.Key_F10)
        const listed = []
        for (const name of ["fileMenu", "editMenu", "viewMenu", "helpMenu"]) {
            const menu = find(name)
            tryVerify(() => menu.opened, 3000, name + " is not open")
            waitForItemPolished(menu.contentItem)
            for (let i = 0; i < menu.count; ++i) {
                const item = menu.itemAt(i)
                const title = findChild(item, "menuTitle")
                if (title)
                    verify(!title.truncated, item.text + " is cut short in " + name)
                if (!item.action || !item.action.shortcut)
                    continue
                const keys = KeySequences.nativeText(item.action.shortcut)
                compare(findChild(item, "menuShortcut").text, keys)
                listed.push({ title: item.text, keys: keys })
            }
            keyClick(Qt.Key_Right)
            tryVerify(() => !menu.visible)
        }
        keyClick(Qt.Key_Escape)
        tryVerify(() => !find("helpMenu").visible && !find("fileMenu").visible)
        verify(listed.length >= 15, "shortcuts in the menus: " + listed.length)

        keyClick(Qt.Key_Question, Qt.ControlModifier)
        tryVerify(() => shortcuts.visible)
        const rows = findChild(shortcuts.contentItem, "shortcutList")
        const shown = []
        for (let i = 0; i < rows.count; ++i) {
            rows.positionViewAtIndex(i, ListView.Contain)
            const row = rows.itemAtIndex(i)
            shown.push(row.modelData.title + " = " + findChild(row, "keys").text)
        }
        for (const entry of listed)
            verify(shown.some(line => line.startsWith(entry.title + " = ") && line.indexOf(entry.keys) >= 0),
                   entry.title + " (" + entry.keys + ") is not listed")
        verify(shown.indexOf("Complete = Space") >= 0, "the list keys are listed too")
        keyClick(Qt.Key_Escape)
        tryVerify(() => !shortcuts.visible)
    }
}
