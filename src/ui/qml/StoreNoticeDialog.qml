import QtQuick
import QtQuick.Controls
import Quillbrook

// Says what happened when the store file was deleted or replaced while the app ran, and where
// the to-dos are now. Open while the application has such a notice.
Dialog {
    id: dialog
    objectName: "storeNotice"

    title: "The store file changed"
    modal: true
    // Takes the keyboard while open: Return or Escape dismisses it.
    focus: true
    anchors.centerIn: Overlay.overlay
    width: Math.min(420, parent ? parent.width - 40 : 420)
    closePolicy: Popup.CloseOnEscape
    onClosed: QuillbrookApp.dismissStoreNotice()
    Component.onCompleted: if (QuillbrookApp.storeNotice !== "") open()
    Connections {
        target: QuillbrookApp
        function onStoreNoticeChanged() {
            if (QuillbrookApp.storeNotice !== "")
                dialog.open()
            else
                dialog.close()
        }
    }

    padding: 20
    topPadding: 8
    bottomPadding: 4
    background: Rectangle {
        radius: 12
        color: Theme.dark ? "#2c2c2e" : "#ffffff"
        border.color: Theme.toastBorder
    }
    header: Text {
        text: dialog.title
        padding: 20
        bottomPadding: 0
        color: Theme.primaryText
        font.pixelSize: 15
        font.weight: Font.Bold
    }
    contentItem: Text {
        objectName: "storeNoticeMessage"
        text: QuillbrookApp.storeNotice
        textFormat: Text.PlainText
        wrapMode: Text.Wrap
        color: Theme.primaryText
        font.pixelSize: Theme.bodySize
        focus: true
        Keys.onReturnPressed: dialog.close()
        Keys.onEnterPressed: dialog.close()
    }
    footer: DialogButtonBox {
        padding: 16
        alignment: Qt.AlignRight
        background: null
        DialogButton {
            objectName: "storeNoticeButton"
            text: "OK"
            primary: true
            DialogButtonBox.buttonRole: DialogButtonBox.AcceptRole
            onClicked: dialog.close()
        }
    }
}
