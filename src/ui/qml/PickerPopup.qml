import QtQuick
import QtQuick.Controls
import Quillbrook

// The popover under a header control: 320 wide, 16 of padding, closed by a click outside both
// the popover and its control (the control itself toggles it).
Popup {
    width: 320
    padding: 16
    margins: 8
    modal: false
    focus: true
    closePolicy: Popup.CloseOnEscape | Popup.CloseOnPressOutside | Popup.CloseOnPressOutsideParent
    background: Rectangle {
        radius: 12
        color: Theme.windowBackground
        border.color: Theme.separator
    }
}
