import QtQuick
import QtQuick.Layouts
import Quillbrook

// One line of a to-do's change log: symbol, what happened, its detail and when.
Item {
    id: row
    required property var entry
    // How long ago, as the locale says it.
    required property string when
    implicitHeight: content.implicitHeight + 18

    RowLayout {
        id: content
        anchors.fill: parent
        anchors.leftMargin: 16
        anchors.rightMargin: 16
        anchors.topMargin: 9
        anchors.bottomMargin: 9
        spacing: 12
        Symbol {
            Layout.alignment: Qt.AlignTop
            Layout.preferredWidth: 22
            Layout.preferredHeight: 22
            name: row.entry.kindSymbol
            color: Theme.accent
        }
        ColumnLayout {
            Layout.fillWidth: true
            spacing: 2
            // Every line fills the column: without a line that does, the column shrinks to
            // its text and the row centres it.
            Text {
                objectName: "changeTitle"
                Layout.fillWidth: true
                text: row.entry.kindTitle
                textFormat: Text.PlainText
                color: Theme.primaryText
                font.pixelSize: Theme.bodySize
            }
            Text {
                objectName: "changeDetail"
                Layout.fillWidth: true
                visible: row.entry.detail.length > 0
                text: row.entry.detail
                textFormat: Text.PlainText
                color: Theme.secondaryText
                font.pixelSize: Theme.footnoteSize
                wrapMode: Text.Wrap
            }
            Text {
                Layout.fillWidth: true
                text: row.when
                color: Theme.tertiaryText
                font.pixelSize: Theme.captionSize
            }
        }
    }
}
