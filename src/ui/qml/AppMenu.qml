import QtQuick
import QtQuick.Controls
import Quillbrook

// The one look of every menu (menu bar, More, context menus): rounded, a soft border, the
// highlighted entry on the accent, shortcuts shown. It stays inside its window.
Menu {
    id: menu
    margins: 6
    padding: 5
    overlap: 4
    palette.mid: Theme.separator
    palette.window: Theme.menuBackground
    delegate: AppMenuItem {}
    // As wide as its widest entry (title and shortcut), so none is cut short.
    implicitWidth: Math.max(220, widestEntry() + leftPadding + rightPadding)
    function widestEntry() {
        let widest = 0
        for (let i = 0; i < count; ++i) {
            const entry = itemAt(i)
            if (entry)
                widest = Math.max(widest, entry.implicitWidth)
        }
        return widest
    }

    // Where the keyboard goes back to when the menu closes and nothing else took it (a dialog
    // opened by a command keeps it).
    property Item restoreFocusTo: null
    onClosed: Qt.callLater(() => {
        const window = restoreFocusTo ? restoreFocusTo.Window.window : null
        const focused = window ? window.activeFocusItem : null
        if (window && (!focused || focused === window.contentItem))
            restoreFocusTo.forceActiveFocus(Qt.PopupFocusReason)
    })
    background: Rectangle {
        implicitWidth: 220
        radius: 9
        color: Theme.menuBackground
        border.color: Theme.menuBorder
        // A faint shade around the edge lifts the menu off the window.
        Rectangle {
            z: -1
            anchors.fill: parent
            anchors.margins: -2
            radius: parent.radius + 2
            color: "transparent"
            border.width: 2
            border.color: Theme.dark ? Qt.rgba(0, 0, 0, 0.35) : Qt.rgba(0, 0, 0, 0.06)
        }
    }
}
