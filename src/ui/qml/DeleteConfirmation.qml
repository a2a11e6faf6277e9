import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Quillbrook

// "Delete this to-do?" with the to-do's title in the message. It opens with Delete, the
// default, focused: Return confirms, Escape cancels.
Dialog {
    id: dialog
    objectName: "deleteConfirmation"
    property var todo: null
    property string message
    signal confirmed(var todo)

    title: "Delete this to-do?"
    modal: true
    anchors.centerIn: Overlay.overlay
    width: Math.min(360, parent ? parent.width - 40 : 360)
    closePolicy: Popup.CloseOnEscape | Popup.CloseOnPressOutside

    padding: 20
    topPadding: 8
    bottomPadding: 4
    background: Rectangle {
        radius: 12
        color: Theme.dark ? "#2c2c2e" : "#ffffff"
        border.color: Theme.toastBorder
    }
    onOpened: deleteButton.forceActiveFocus(Qt.TabFocusReason)
    header: Text {
        text: dialog.title
        textFormat: Text.PlainText
        padding: 20
        bottomPadding: 0
        color: Theme.primaryText
        font.pixelSize: 15
        font.weight: Font.Bold
    }
    contentItem: Text {
        objectName: "deleteMessage"
        text: dialog.message
        textFormat: Text.PlainText
        wrapMode: Text.WordWrap
        color: Theme.primaryText
        font.pixelSize: Theme.bodySize
    }
    footer: DialogButtonBox {
        padding: 16
        spacing: 8
        alignment: Qt.AlignRight
        background: null
        DialogButton {
            id: deleteButton
            objectName: "deleteButton"
            text: "Delete"
            destructive: true
            DialogButtonBox.buttonRole: DialogButtonBox.DestructiveRole
            onClicked: {
                const target = dialog.todo
                dialog.todo = null
                dialog.close()
                dialog.confirmed(target)
            }
        }
        DialogButton {
            objectName: "cancelButton"
            text: "Cancel"
            DialogButtonBox.buttonRole: DialogButtonBox.RejectRole
            onClicked: dialog.close()
        }
    }
    onClosed: todo = null
}
