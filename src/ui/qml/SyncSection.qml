import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Quillbrook

// The Sync section of the settings form: the account and whether it is signed in, the last
// sync and any problem in words, and what the user can do: sign in, sync now, sign out, or give
// the password when no keyring keeps it.
ColumnLayout {
    id: section
    spacing: 8

    SyncModel {
        id: syncModel
        service: QuillbrookApp.sync
        environment: QuillbrookApp.environment
    }

    component Line: Text {
        Layout.fillWidth: true
        color: Theme.secondaryText
        font.pixelSize: Theme.footnoteSize
        wrapMode: Text.WordWrap
        visible: text !== ""
    }

    RowLayout {
        Symbol { name: "icloud"; color: Theme.accent }
        Text {
            Layout.fillWidth: true
            text: "CalDAV"
            color: Theme.primaryText
            font.pixelSize: Theme.bodySize
        }
        Text {
            objectName: "accountStatus"
            text: syncModel.statusText
            color: syncModel.signedIn ? Theme.accent : Theme.secondaryText
            font.pixelSize: Theme.bodySize
        }
    }
    Line { objectName: "syncAccount"; text: syncModel.accountText; elide: Text.ElideMiddle; wrapMode: Text.NoWrap }
    Line { objectName: "lastSync"; text: syncModel.syncing ? "Syncing\u2026" : syncModel.lastSyncText }
    Line { objectName: "syncProblem"; text: syncModel.problemText; color: Theme.destructive }
    Line { objectName: "passwordNote"; text: syncModel.passwordNote }

    RowLayout {
        visible: syncModel.needsPassword
        TextField {
            id: passwordField
            objectName: "syncPasswordField"
            Layout.fillWidth: true
            echoMode: TextInput.Password
            placeholderText: "Password"
            Accessible.name: "Password"
            onAccepted: syncModel.usePassword(text)
        }
        DialogButton {
            text: "Use Password"
            onClicked: syncModel.usePassword(passwordField.text)
        }
    }

    RowLayout {
        spacing: 8
        DialogButton {
            objectName: "signInButton"
            visible: !syncModel.configured
            enabled: syncModel.available && !syncModel.signingIn
            primary: true
            text: "Sign In\u2026"
            onClicked: signInDialog.open()
        }
        DialogButton {
            objectName: "syncNowButton"
            visible: syncModel.configured && !syncModel.needsPassword
            enabled: !syncModel.syncing
            text: "Sync Now"
            onClicked: syncModel.syncNow()
        }
        DialogButton {
            objectName: "signOutButton"
            visible: syncModel.configured
            text: "Sign Out"
            onClicked: syncModel.signOut()
        }
        Item { Layout.fillWidth: true }
    }
    Line { text: syncModel.note }

    SignInDialog { id: signInDialog; sync: syncModel }
}
