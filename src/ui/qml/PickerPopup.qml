import QtQuick
import QtQuick.Controls
import Quillbrook

// The popover under a header control: 320 wide, 16 of padding, closed by a click outside both
// the popover and its control (the control itself toggles it) or by Escape. It takes the
// keyboard when it opens and hands it back to its control when it closes (unless a click
// outside put it elsewhere).
Popup {
    id: popup
    // The control that opened the popover.
    property Item control: parent
    signal takeFocus(bool fromKeyboard)
    // Opened from the keyboard: the control gets the keyboard back with its focus ring.
    property bool openedByKeyboard: false
    onAboutToShow: openedByKeyboard = control !== null && control.visualFocus
    onOpened: takeFocus(openedByKeyboard)
    onClosed: Qt.callLater(() => {
        const window = control ? control.Window.window : null
        const focused = window ? window.activeFocusItem : null
        if (!control || (focused && focused !== window.contentItem && focused !== control))
            return
        control.focus = false
        control.forceActiveFocus(openedByKeyboard ? Qt.TabFocusReason : Qt.PopupFocusReason)
    })
    width: 320
    padding: 16
    margins: 8
    modal: false
    focus: true
    closePolicy: Popup.CloseOnEscape | Popup.CloseOnPressOutside | Popup.CloseOnPressOutsideParent
    background: Rectangle {
        radius: 12
        color: Theme.menuBackground
        border.color: Theme.menuBorder
    }
}
