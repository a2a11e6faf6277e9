import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Quillbrook

// What a check for updates the user asked for found: up to date, a newer version with its
// release notes and download page, or why the check failed.
Dialog {
    id: dialog
    objectName: "updateDialog"
    property CheckForUpdatesViewModel updates: QuillbrookApp.updates
    // How pages are opened; the browser, unless a test listens instead.
    property var openUrl: url => Qt.openUrlExternally(url)
    readonly property string kind: updates ? updates.outcomeKind : ""
    readonly property bool available: kind === "updateAvailable"

    title: updates ? updates.outcomeTitle : ""
    modal: true
    anchors.centerIn: Overlay.overlay
    width: Math.min(380, parent ? parent.width - 40 : 380)
    closePolicy: Popup.CloseOnEscape
    padding: 20
    // The text lines up with the title, right of the symbol.
    leftPadding: 20 + 22 + 10
    topPadding: 6
    bottomPadding: 4

    background: Rectangle {
        radius: 12
        color: Theme.dark ? "#2c2c2e" : "#ffffff"
        border.color: Theme.toastBorder
    }
    header: RowLayout {
        spacing: 10
        Symbol {
            Layout.leftMargin: 20
            Layout.topMargin: 20
            Layout.preferredWidth: 22
            name: dialog.kind === "failed" ? "exclamationmark.triangle"
                : dialog.available ? "arrow.down.circle" : "checkmark.circle"
            color: dialog.kind === "failed" ? Theme.destructive : Theme.accent
            size: 22
        }
        Text {
            objectName: "updateTitle"
            Layout.fillWidth: true
            Layout.topMargin: 20
            Layout.rightMargin: 20
            text: dialog.title
            textFormat: Text.PlainText
            wrapMode: Text.WordWrap
            color: Theme.primaryText
            font.pixelSize: 15
            font.weight: Font.Bold
        }
    }
    contentItem: ColumnLayout {
        spacing: 8
        Text {
            objectName: "updateMessage"
            Layout.fillWidth: true
            text: dialog.updates ? dialog.updates.outcomeMessage : ""
            textFormat: Text.PlainText
            wrapMode: Text.WordWrap
            color: Theme.primaryText
            font.pixelSize: Theme.bodySize
        }
        AbstractButton {
            id: notesLink
            objectName: "releaseNotesLink"
            visible: dialog.available && dialog.updates.releaseNotesUrl.toString() !== ""
            text: "Release Notes"
            Accessible.role: Accessible.Link
            padding: 0
            background: Item { FocusRing { shown: notesLink.visualFocus; radius: 3 } }
            Keys.onReturnPressed: clicked()
            contentItem: Text {
                text: notesLink.text
                color: Theme.accent
                font.pixelSize: Theme.bodySize
                font.underline: notesLink.hovered || notesLink.visualFocus
            }
            HoverHandler { cursorShape: Qt.PointingHandCursor }
            onClicked: dialog.openUrl(dialog.updates.releaseNotesUrl)
        }
    }
    // A plain row, not a button box: the Download button is there only for a newer version.
    footer: RowLayout {
        spacing: 8
        Item { Layout.fillWidth: true }
        DialogButton {
            objectName: "closeUpdateButton"
            Layout.topMargin: 16
            Layout.bottomMargin: 16
            Layout.rightMargin: downloadButton.visible ? 0 : 16
            text: dialog.available ? "Not Now" : "OK"
            // Alone, it is the dialog's answer.
            primary: !dialog.available
            focus: !dialog.available
            onClicked: dialog.close()
        }
        DialogButton {
            id: downloadButton
            objectName: "downloadButton"
            Layout.topMargin: 16
            Layout.bottomMargin: 16
            Layout.rightMargin: 16
            visible: dialog.available && dialog.updates.downloadUrl.toString() !== ""
            text: "Download"
            primary: true
            focus: visible
            onClicked: {
                dialog.openUrl(dialog.updates.downloadUrl)
                dialog.close()
            }
        }
    }
}
