import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Quillbrook

// The name and version of the application.
Dialog {
    id: dialog
    objectName: "aboutDialog"
    modal: true
    anchors.centerIn: Overlay.overlay
    width: 280
    padding: 20
    bottomPadding: 4
    background: Rectangle {
        radius: 12
        color: Theme.dark ? "#2c2c2e" : "#ffffff"
        border.color: Theme.toastBorder
    }

    SettingsModel { id: settings }
    onOpened: okButton.forceActiveFocus(Qt.TabFocusReason)

    contentItem: ColumnLayout {
        spacing: 6
        Text {
            Layout.alignment: Qt.AlignHCenter
            text: "Quill Brook"
            color: Theme.primaryText
            font.pixelSize: 17
            font.weight: Font.Bold
        }
        Text {
            objectName: "aboutVersion"
            Layout.alignment: Qt.AlignHCenter
            text: "Version " + settings.versionText
            color: Theme.secondaryText
            font.pixelSize: Theme.bodySize
        }
    }
    footer: Item {
        implicitHeight: okButton.implicitHeight + 32
        DialogButton {
            id: okButton
            objectName: "aboutOkButton"
            anchors.centerIn: parent
            text: "OK"
            primary: true
            focus: true
            onClicked: dialog.close()
        }
    }
}
