import QtQuick
import QtQuick.Layouts
import Quillbrook

// The centred empty-state message of a list.
ColumnLayout {
    property string title
    property string symbol
    property string description

    spacing: 8
    Symbol {
        Layout.alignment: Qt.AlignHCenter
        name: parent.symbol
        size: 40
        color: Theme.tertiaryText
    }
    Text {
        Layout.alignment: Qt.AlignHCenter
        text: parent.title
        textFormat: Text.PlainText
        color: Theme.secondaryText
        font.pixelSize: 17
        font.weight: Font.DemiBold
    }
    Text {
        Layout.alignment: Qt.AlignHCenter
        Layout.maximumWidth: 260
        visible: text.length > 0
        text: parent.description
        textFormat: Text.PlainText
        color: Theme.tertiaryText
        font.pixelSize: Theme.subheadlineSize
        wrapMode: Text.WordWrap
        horizontalAlignment: Text.AlignHCenter
    }
}
