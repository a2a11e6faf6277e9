import QtQuick
import Quillbrook

// A day heading (or "Later") above a group of rows.
Item {
    property string title
    implicitHeight: 30
    Text {
        anchors.left: parent.left
        anchors.leftMargin: Theme.rowInsetHorizontal
        anchors.bottom: parent.bottom
        anchors.bottomMargin: 4
        text: parent.title
        textFormat: Text.PlainText
        color: Theme.secondaryText
        font.pixelSize: Theme.subheadlineSize
        font.weight: Font.DemiBold
        Accessible.role: Accessible.Heading
        Accessible.name: text
    }
}
