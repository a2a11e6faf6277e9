import QtQuick
import QtTest
import Quillbrook
import QuillbrookTest

// A test case around one real main window over the test store, emptied before each test.
TestCase {
    id: testCase
    when: windowShown

    property var window: null

    Component { id: mainWindow; MainWindow {} }

    // Opens a fresh window, focused as a window the user works in, on `perspective`.
    function openWindow(perspective) {
        window = createTemporaryObject(mainWindow, null)
        verify(window)
        window.requestActivate()
        tryVerify(() => window.active)
        if (perspective !== null) {
            mouseClick(find("sidebar-" + perspective))
            tryVerify(() => list() !== null || perspective === "done")
        }
        return window
    }
    // A fresh window driven by the keyboard alone: Ctrl+1, 2 or 3 shows the perspective.
    function openWindowByKeys(perspectiveKey) {
        openWindow(null)
        keyClick(perspectiveKey, Qt.ControlModifier)
        tryVerify(listHasKeyboard)
        return window
    }
    function focused() { return window.activeFocusItem }
    // The list has the keyboard: itself, or its current row.
    function listHasKeyboard() {
        const view = list()
        return view !== null && (focused() === view || (focused() === view.currentItem && focused() !== null))
    }
    // Presses Tab (Shift+Tab when `backwards`) until the item named `name` has the keyboard.
    function tabTo(name, backwards) {
        const passed = []
        for (let i = 0; i < 40; ++i) {
            const item = focused()
            if (item && item.objectName === name)
                return item
            passed.push(item ? item.objectName || String(item) : "nothing")
            if (backwards)
                keyClick(Qt.Key_Backtab, Qt.ShiftModifier)
            else
                keyClick(Qt.Key_Tab)
        }
        fail("Tab never reached " + name + ", only " + passed.join(", "))
    }
    function find(name) {
        const item = lookUp(name)
        verify(item, "no item named " + name)
        return item
    }
    function lookUp(name) {
        const shown = visualChild(window.contentItem, name) || visualChild(window.overlay, name)
        try {
            return shown || findChild(window, name)
        } catch (error) {
            return null
        }
    }
    // Menus and dialogs are built when first asked for: one never built is not showing.
    function showing(name) {
        const item = lookUp(name)
        return item !== null && item.visible
    }
    // Items that are going (a removed row) may be gone from a child list while it is read.
    function visualChild(parent, name) {
        if (!parent || !parent.children)
            return null
        for (let i = 0; i < parent.children.length; ++i) {
            const child = parent.children[i]
            if (child && child.objectName === name)
                return child
        }
        for (let i = 0; i < parent.children.length; ++i) {
            const found = visualChild(parent.children[i], name)
            if (found)
                return found
        }
        return null
    }
    function list() {
        return visualChild(window.contentItem, "taskList") || visualChild(window.contentItem, "doneList")
               || visualChild(window.contentItem, "searchList")
    }
    // The rows the list has made, each with its to-do.
    function rows() {
        const view = list()
        const made = []
        for (let i = 0; view && i < view.count; ++i) {
            const row = view.itemAtIndex(i)
            if (row && row.todo)
                made.push(row)
        }
        return made
    }
    function listTitles() { return rows().map(row => row.todo.title) }
    // The row showing the to-do titled `title`, once it is there.
    function rowTitled(title) {
        let found
        tryVerify(() => (found = rows().find(row => row.todo.title === title)) !== undefined, 2000,
                  "no row titled " + title)
        return found
    }
    // Waits until `menu` is open with its entries laid out, so clicks land on them.
    function waitForMenu(menu) {
        tryVerify(() => menu.opened)
        waitForItemPolished(menu.contentItem)
    }
    // Drags the row to the left far enough to uncover its Delete button, from `start` (a
    // fraction of its width, 0.6 unless given), and waits until the row is swiped open.
    function swipeLeft(row, start) {
        const x = row.width * (start || 0.6)
        const y = row.height / 2
        mousePress(row, x, y)
        for (let step = 1; step <= 6; ++step)
            mouseMove(row, x - step * 20, y)
        mouseRelease(row, x - 120, y)
        tryVerify(() => row.swipe.position < -0.5)
    }
    // Waits until the dialog is open and its button row laid out, so clicks land on the buttons.
    // Open, laid out, and centred whole in the window: one sized from the wrong parent is not.
    function waitForDialog(dialog) {
        tryVerify(() => dialog.opened)
        waitForItemPolished(dialog.footer.contentItem)
        const host = dialog.background.Window.window
        const left = dialog.background.mapToItem(null, 0, 0).x
        verify(dialog.width > 0 && left >= 0 && left + dialog.width <= host.width,
               "the dialog is not inside the window")
        fuzzyCompare(left + dialog.width / 2, host.width / 2, 1)
    }
    // Confirms the delete dialog by its button once it is laid out; returns the dialog, closed.
    function confirmDelete() {
        const dialog = find("deleteConfirmation")
        waitForDialog(dialog)
        mouseClick(find("deleteButton"))
        tryVerify(() => !dialog.visible)
        return dialog
    }
    // How many pixels of `image` (grabbed from `root`) pass `test(pixel, x, y)`: every `step`th
    // one in each direction over `item`'s rectangle grown by `margin` (shrunk when negative).
    function countPixels(image, item, root, margin, step, test) {
        const topLeft = item.mapToItem(root, 0, 0)
        const right = Math.min(image.width, topLeft.x + item.width + margin)
        const bottom = Math.min(image.height, topLeft.y + item.height + margin)
        let count = 0
        for (let x = Math.max(0, Math.floor(topLeft.x - margin)); x < right; x += step)
            for (let y = Math.max(0, Math.floor(topLeft.y - margin)); y < bottom; y += step)
                count += test(image.pixel(x, y), x, y) ? 1 : 0
        return count
    }
    function colourDistance(a, b) { return Math.abs(a.r - b.r) + Math.abs(a.g - b.g) + Math.abs(a.b - b.b) }
    function typeText(text) {
        for (let i = 0; i < text.length; ++i)
            keyClick(text[i])
    }
    function draftField() { return findChild(window.contentItem, "draftField") }
    function draftOpen() { return showing("draftField") }
    function openTitles() { return Store.todos().filter(t => !t.isCompleted).map(t => t.title) }
    function titled(title) { return Store.todos().filter(t => t.title === title) }

    function init() {
        Store.reset()
    }
}
