import QtQuick
import QtQuick.Controls
import Quillbrook

// A dialog's button: quiet by default, filled with the accent colour for the action the dialog
// offers, red text for a destructive one.
Button {
    id: button
    property bool primary: false
    property bool destructive: false

    implicitHeight: 30
    leftPadding: 16
    rightPadding: 16
    font.pixelSize: Theme.bodySize
    opacity: enabled ? 1 : 0.45
    // Return (or Enter) presses the focused button, as Space does.
    Keys.onReturnPressed: clicked()
    Keys.onEnterPressed: clicked()
    contentItem: Text {
        text: button.text
        textFormat: Text.PlainText
        font: button.font
        color: button.primary ? "white" : button.destructive ? Theme.destructive : Theme.primaryText
        horizontalAlignment: Text.AlignHCenter
        verticalAlignment: Text.AlignVCenter
    }
    background: Rectangle {
        implicitWidth: 80
        radius: 7
        color: button.primary ? (button.down ? Qt.darker(Theme.accent, 1.2) : Theme.accent)
             : Theme.dark ? Qt.rgba(1, 1, 1, button.down ? 0.2 : 0.1)
             : Qt.rgba(0, 0, 0, button.down ? 0.12 : 0.06)
        FocusRing { shown: button.visualFocus }
    }
}
