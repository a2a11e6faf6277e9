import QtQuick
import Quillbrook

// A count on a tab of the detail pane.
Rectangle {
    property int count: 0
    property bool onAccent: false

    implicitWidth: Math.max(18, label.implicitWidth + (count > 9 ? 8 : 0))
    implicitHeight: 18
    radius: height / 2
    color: onAccent ? "white" : Theme.accent
    Text {
        id: label
        anchors.centerIn: parent
        text: parent.count
        color: parent.onAccent ? Theme.accent : "white"
        font.pixelSize: Theme.captionSize
        font.bold: true
    }
}
