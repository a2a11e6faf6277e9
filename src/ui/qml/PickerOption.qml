import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Quillbrook

// One choice of a picker popover: symbol, title and, when selected, a checkmark on an accent
// tint.
AbstractButton {
    id: option
    property string symbol
    property string title
    property bool selected

    Layout.fillWidth: true
    padding: 12
    Accessible.role: Accessible.RadioButton
    Accessible.name: title
    Accessible.checkable: true
    Accessible.checked: selected

    contentItem: RowLayout {
        spacing: 8
        Symbol {
            Layout.preferredWidth: 22
            name: option.symbol
            color: option.selected ? Theme.accent : Theme.secondaryText
        }
        Text {
            Layout.fillWidth: true
            text: option.title
            color: option.selected ? Theme.accent : Theme.primaryText
            font.pixelSize: Theme.bodySize
            elide: Text.ElideRight
        }
        Symbol {
            visible: option.selected
            name: "checkmark"
            color: Theme.accent
            font.weight: Font.DemiBold
        }
    }
    background: Rectangle {
        radius: 10
        color: option.selected ? Qt.rgba(Theme.accent.r, Theme.accent.g, Theme.accent.b, 0.12)
                               : option.hovered ? Theme.rowHover : "transparent"
    }
}
