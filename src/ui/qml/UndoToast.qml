import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Quillbrook

// The pending undo offer as a floating capsule: symbol, message and "Undo".
Item {
    id: toast
    property UndoCenter center: QuillbrookApp.undoCenter
    readonly property bool showing: center && center.hasPending

    implicitHeight: bar.height
    implicitWidth: bar.width
    // Takes no space and offers no button while nothing is pending.
    visible: showing || slide.running || fade.running

    UndoAnnouncements { id: announcements; center: toast.center }

    Rectangle {
        id: bar
        objectName: "undoBar"
        anchors.horizontalCenter: parent.horizontalCenter
        width: Math.min(content.implicitWidth + 28, toast.parent ? toast.parent.width - 40 : 420)
        height: content.implicitHeight + 22
        radius: height / 2
        color: Theme.toastBackground
        border.color: Theme.toastBorder
        border.width: 1
        y: toast.showing ? 0 : height + 24
        opacity: toast.showing ? 1 : 0
        // Springy, settling in about a third of a second with little overshoot.
        Behavior on y { SpringAnimation { id: slide; spring: 3.2; damping: 0.27; epsilon: 0.25 } }
        Behavior on opacity { NumberAnimation { id: fade; duration: 350; easing.type: Easing.OutCubic } }

        Accessible.role: Accessible.AlertMessage
        Accessible.name: toast.showing ? toast.center.message : ""
        Accessible.description: announcements.text

        RowLayout {
            id: content
            anchors.fill: parent
            anchors.leftMargin: 14
            anchors.rightMargin: 14
            anchors.topMargin: 11
            anchors.bottomMargin: 11
            spacing: 8
            Symbol {
                name: toast.center ? toast.center.systemImage : ""
                size: Theme.footnoteSize + 3
                color: Theme.secondaryText
            }
            Text {
                objectName: "undoMessage"
                Layout.fillWidth: true
                Layout.maximumWidth: 320
                text: toast.center ? toast.center.message : ""
                textFormat: Text.PlainText
                elide: Text.ElideRight
                maximumLineCount: 1
                color: Theme.secondaryText
                font.pixelSize: Theme.subheadlineSize
            }
            Item { Layout.preferredWidth: 8 }
            AbstractButton {
                id: undoButton
                objectName: "undoButton"
                enabled: toast.showing
                contentItem: Text {
                    text: "Undo"
                    color: Theme.accent
                    font.pixelSize: Theme.subheadlineSize
                    font.weight: Font.DemiBold
                }
                background: Item { FocusRing { shown: undoButton.visualFocus; radius: 4 } }
                Keys.onReturnPressed: clicked()
                Accessible.name: "Undo"
                onClicked: QuillbrookApp.undo()
            }
        }
    }
}
