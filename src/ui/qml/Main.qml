import QtQuick
import QtQuick.Controls

ApplicationWindow {
    id: window
    title: "Quill Brook"
    width: 960
    height: 640
    visible: true

    Label {
        anchors.centerIn: parent
        text: "Quill Brook"
        font.pixelSize: 22
        opacity: 0.5
    }
}
