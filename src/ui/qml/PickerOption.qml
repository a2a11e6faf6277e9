import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Quillbrook

// One choice of a picker popover: symbol, title and, when selected, a checkmark on an accent
// tint. Up and Down move between the popover's controls as Shift+Tab and Tab do; Return or
// Space chooses.
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
    Keys.onUpPressed: nextItemInFocusChain(false).forceActiveFocus(Qt.BacktabFocusReason)
    Keys.onDownPressed: nextItemInFocusChain(true).forceActiveFocus(Qt.TabFocusReason)
    Keys.onReturnPressed: clicked()
    Keys.onEnterPressed: clicked()

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
            textFormat: Text.PlainText
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
        FocusRing { shown: option.visualFocus; inset: 0; radius: 10 }
    }
}
