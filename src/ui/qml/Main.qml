import QtQuick
import Quillbrook

// The first main window; further windows share the store, undo and router.
MainWindow {
    id: first
    objectName: "mainWindow"
    property int windowCount: 1
    // Windows made below have no parent, so the JavaScript collector owns them; held here,
    // they live as long as the app does instead of vanishing at the next collection.
    property var otherWindows: []
    // One settings window and one shortcuts window for every main window, each made the first
    // time it is asked for: building them with the first window cost start-up about 14 ms.
    LazyPopup { id: settingsWindow; sourceComponent: SettingsWindow {} }
    LazyPopup { id: shortcutsWindow; sourceComponent: ShortcutsWindow {} }
    onSettingsRequested: settingsWindow.get().present()
    onShortcutsRequested: shortcutsWindow.get().present()
    onNewWindowRequested: {
        const component = Qt.createComponent("MainWindow.qml")
        const created = component.createObject(null, { windowIndex: first.windowCount })
        if (created) {
            first.windowCount += 1
            first.otherWindows.push(created)
            created.newWindowRequested.connect(first.newWindowRequested)
            created.settingsRequested.connect(first.settingsRequested)
            created.shortcutsRequested.connect(first.shortcutsRequested)
        }
    }
}
