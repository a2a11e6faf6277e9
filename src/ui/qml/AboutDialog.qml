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
    standardButtons: Dialog.Ok
    background: Rectangle {
        radius: 12
        color: Theme.windowBackground
        border.color: Theme.separator
    }

    SettingsModel { id: settings }

    ColumnLayout {
        anchors.fill: parent
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
}
