import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Quillbrook

// The inline field that adds a to-do to a list; Return submits.
Item {
    id: root
    property alias text: field.text
    property alias fieldFocused: field.activeFocus
    signal submitted()
    signal cancelled()

    function focusField() { field.forceActiveFocus() }

    implicitHeight: Math.max(36, field.implicitHeight + 2 * Theme.rowInsetVertical)

    RowLayout {
        anchors.fill: parent
        anchors.leftMargin: Theme.rowInsetHorizontal
        anchors.rightMargin: Theme.rowInsetHorizontal
        spacing: 12
        CheckCircle {
            isCompleted: false
            Accessible.ignored: true
        }
        TextField {
            id: field
            objectName: "draftField"
            Layout.fillWidth: true
            placeholderText: "New To-Do"
            placeholderTextColor: Theme.tertiaryText
            color: Theme.primaryText
            font.pixelSize: Theme.bodySize
            background: null
            leftPadding: 0
            Keys.onReturnPressed: root.submitted()
            Keys.onEnterPressed: root.submitted()
            Keys.onEscapePressed: root.cancelled()
            FocusRing {
                shown: field.activeFocus
                anchors.leftMargin: -6
                anchors.rightMargin: -6
                anchors.topMargin: -1
                anchors.bottomMargin: -1
            }
        }
    }
}
