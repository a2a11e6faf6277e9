import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Quillbrook

// One entry of an AppMenu: a check column, the title, its keyboard shortcut, and an arrow
// for a submenu. The highlighted entry (pointer or keyboard) is white on the accent.
MenuItem {
    id: item
    // Drawn in the destructive colour ("Delete…").
    property bool destructive: action !== null && action.destructive === true
    readonly property string shortcutText: action && action.shortcut
                                           ? KeySequences.nativeText(String(action.shortcut)) : ""
    readonly property color textColor: !enabled ? Theme.tertiaryText
                                     : highlighted ? Theme.menuHighlightedText
                                     : destructive ? Theme.destructive : Theme.primaryText

    implicitHeight: 28
    padding: 0
    leftPadding: 26
    rightPadding: 10
    font.pixelSize: Theme.bodySize

    indicator: Symbol {
        x: 8
        anchors.verticalCenter: parent.verticalCenter
        visible: item.checked
        name: "checkmark"
        size: Theme.bodySize
        color: item.textColor
    }
    arrow: Symbol {
        x: item.width - width - 8
        anchors.verticalCenter: parent.verticalCenter
        visible: item.subMenu !== null
        name: "chevron.right"
        size: Theme.footnoteSize
        color: item.textColor
    }
    contentItem: RowLayout {
        spacing: 24
        Text {
            objectName: "menuTitle"
            Layout.fillWidth: true
            text: item.text
            textFormat: Text.PlainText
            font: item.font
            color: item.textColor
            elide: Text.ElideRight
            verticalAlignment: Text.AlignVCenter
        }
        Text {
            objectName: "menuShortcut"
            visible: text.length > 0
            Layout.rightMargin: item.subMenu ? 14 : 0
            text: item.shortcutText
            textFormat: Text.PlainText
            font.pixelSize: Theme.footnoteSize + 1
            color: item.highlighted ? Theme.menuHighlightedText : Theme.secondaryText
            verticalAlignment: Text.AlignVCenter
        }
        Item {
            visible: item.subMenu !== null
            Layout.preferredWidth: 14
        }
    }
    background: Rectangle {
        implicitWidth: 220
        radius: 5
        color: item.highlighted ? Theme.menuHighlight : "transparent"
    }
}
