import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Quillbrook

// Signing in to a CalDAV account: the server (or the list's own address), the user name, the
// password and the list to sync with, made when it does not exist. Stays open with the reason
// when signing in fails.
Dialog {
    id: dialog
    objectName: "signInDialog"
    required property SyncModel sync
    property string error

    title: "Sign In to a CalDAV Account"
    modal: true
    parent: Overlay.overlay
    anchors.centerIn: parent
    width: Math.min(400, parent ? parent.width - 40 : 400)
    closePolicy: Popup.CloseOnEscape
    padding: 20
    topPadding: 8

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

    function submit() {
        if (!submitButton.enabled)
            return
        error = ""
        sync.signIn(serverField.text, userField.text, passwordField.text, listField.text)
    }

    onOpened: {
        error = ""
        passwordField.text = ""
        serverField.forceActiveFocus()
    }

    Connections {
        target: dialog.sync
        function onSignInFinished(message) {
            dialog.error = message
            if (message === "")
                dialog.close()
        }
    }

    component Field: TextField {
        Layout.fillWidth: true
        font.pixelSize: Theme.bodySize
        onAccepted: dialog.submit()
    }

    contentItem: ColumnLayout {
        spacing: 8
        Field {
            id: serverField
            objectName: "serverField"
            placeholderText: "https://cloud.example.org"
            Accessible.name: "Server"
            inputMethodHints: Qt.ImhUrlCharactersOnly | Qt.ImhNoAutoUppercase
            KeyNavigation.tab: userField
        }
        Field {
            id: userField
            objectName: "userField"
            placeholderText: "User name"
            Accessible.name: "User name"
            inputMethodHints: Qt.ImhNoAutoUppercase
            KeyNavigation.tab: passwordField
        }
        Field {
            id: passwordField
            objectName: "passwordField"
            placeholderText: "Password"
            Accessible.name: "Password"
            echoMode: TextInput.Password
            KeyNavigation.tab: listField
        }
        Field {
            id: listField
            objectName: "listField"
            text: dialog.sync.defaultListName
            placeholderText: "List"
            Accessible.name: "List"
        }
        Text {
            objectName: "signInError"
            Layout.fillWidth: true
            visible: text !== ""
            text: dialog.error
            wrapMode: Text.WordWrap
            color: Theme.destructive
            font.pixelSize: Theme.footnoteSize
        }
        BusyIndicator {
            Layout.alignment: Qt.AlignHCenter
            visible: dialog.sync.signingIn
            running: visible
            implicitHeight: 24
            implicitWidth: 24
        }
    }

    footer: DialogButtonBox {
        padding: 16
        spacing: 8
        alignment: Qt.AlignRight
        background: null
        DialogButton {
            objectName: "cancelSignInButton"
            text: "Cancel"
            DialogButtonBox.buttonRole: DialogButtonBox.RejectRole
            onClicked: dialog.close()
        }
        DialogButton {
            id: submitButton
            objectName: "submitSignInButton"
            text: "Sign In"
            primary: true
            enabled: !dialog.sync.signingIn && serverField.text !== "" && userField.text !== ""
                     && passwordField.text !== ""
            DialogButtonBox.buttonRole: DialogButtonBox.AcceptRole
            onClicked: dialog.submit()
        }
    }
}
