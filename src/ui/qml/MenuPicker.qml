import QtQuick
import QtQuick.Controls
import Quillbrook

// A menu-style picker in the window's colours, its list in the look of every menu: the
// highlighted entry is white on the accent, so it reads in both themes.
ComboBox {
    id: picker
    implicitHeight: 30
    font.pixelSize: Theme.bodySize
    palette.button: Theme.dark ? Qt.rgba(1, 1, 1, 0.08) : Qt.rgba(0, 0, 0, 0.05)
    palette.mid: Theme.dark ? Qt.rgba(1, 1, 1, 0.16) : Qt.rgba(0, 0, 0, 0.1)
    palette.buttonText: Theme.primaryText
    palette.text: Theme.primaryText
    palette.dark: Theme.secondaryText
    palette.window: Theme.menuBackground
    palette.base: Theme.menuBackground
    palette.light: Theme.rowHover
    palette.highlight: Theme.menuHighlight
    palette.highlightedText: Theme.menuHighlightedText

    delegate: ItemDelegate {
        id: entry
        required property var model
        required property var modelData
        required property int index
        width: ListView.view.width
        implicitHeight: 26
        leftPadding: 10
        highlighted: picker.highlightedIndex === index
        contentItem: Text {
            text: !picker.textRole ? entry.modelData
                  : Array.isArray(picker.model) ? entry.modelData[picker.textRole]
                  : entry.model[picker.textRole]
            textFormat: Text.PlainText
            font: picker.font
            color: entry.highlighted ? Theme.menuHighlightedText : Theme.primaryText
            verticalAlignment: Text.AlignVCenter
            elide: Text.ElideRight
        }
        background: Rectangle {
            radius: 5
            color: entry.highlighted ? Theme.menuHighlight : "transparent"
        }
    }
    popup.padding: 5
    // The whole list, padding included, as far as the window allows.
    popup.height: Math.min(popup.contentItem.implicitHeight + popup.topPadding + popup.bottomPadding,
                           Window.height - popup.topMargin - popup.bottomMargin)
    popup.background: Rectangle {
        radius: 9
        color: Theme.menuBackground
        border.color: Theme.menuBorder
    }
    FocusRing { shown: picker.visualFocus; inset: -1 }
}
