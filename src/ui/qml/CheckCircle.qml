import QtQuick
import Quillbrook

// The round completion mark.
Item {
    id: root
    property bool isCompleted: false
    property real size: Theme.circleSize

    implicitWidth: size
    implicitHeight: size

    Rectangle {
        anchors.fill: parent
        radius: width / 2
        color: root.isCompleted ? Theme.accent : "transparent"
        border.width: 1.5
        border.color: root.isCompleted ? Theme.accent : Theme.circleOutline
        Behavior on color { ColorAnimation { duration: 220; easing.type: Easing.OutBack } }
    }
    Symbol {
        anchors.centerIn: parent
        name: "checkmark"
        size: root.size * 0.68
        font.bold: true
        color: "white"
        scale: root.isCompleted ? 1 : 0.3
        opacity: root.isCompleted ? 1 : 0
        Behavior on scale { SpringAnimation { spring: 5; damping: 0.35 } }
        Behavior on opacity { NumberAnimation { duration: 150 } }
    }
}
