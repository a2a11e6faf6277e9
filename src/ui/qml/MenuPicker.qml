import QtQuick
import QtQuick.Controls
import Quillbrook

// A menu-style picker in the window's colours.
ComboBox {
    implicitHeight: 30
    font.pixelSize: Theme.bodySize
    palette.button: Theme.dark ? Qt.rgba(1, 1, 1, 0.08) : Qt.rgba(0, 0, 0, 0.05)
    palette.mid: Theme.dark ? Qt.rgba(1, 1, 1, 0.16) : Qt.rgba(0, 0, 0, 0.1)
    palette.buttonText: Theme.primaryText
    palette.text: Theme.primaryText
    palette.dark: Theme.secondaryText
    palette.window: Theme.windowBackground
    palette.base: Theme.windowBackground
    palette.light: Theme.rowHover
    palette.highlight: Theme.accent
    palette.highlightedText: "white"
}
