import QtQuick
import Quillbrook

// The keyboard focus mark drawn around a control; `shown` says when (usually visualFocus).
Rectangle {
    property bool shown: false
    property real inset: -2
    anchors.fill: parent
    anchors.margins: inset
    radius: 7
    color: "transparent"
    border.width: 2
    border.color: Theme.focusRing
    visible: shown
}
