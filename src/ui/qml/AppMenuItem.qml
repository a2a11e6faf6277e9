import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Quillbrook

// One entry of an AppMenu: a check column, the title, its keyboard shortcut, and an arrow
// for a submenu. The highlighted entry (pointer or keyboard) is white on the accent.
MenuItem {
    id: menuItem
    // Drawn in the destructive colour ("Delete…").
    property bool destructive: action !== null && action.destructive === true
    readonly property color textColor: !enabled ? Theme.tertiaryText
                                     : highlighted ? Theme.menuHighlightedText
                                     : destructive ? Theme.destructive : Theme.primaryText
    // What the entry shows is built when its menu first opens, and kept: every window makes
    // the menu bar's entries, and most of them are never seen.
    property bool shown: menu !== null && menu.visible
    onShownChanged: if (shown) shown = true

    implicitHeight: 28
    padding: 0
    leftPadding: 26
    rightPadding: 10
    font.pixelSize: Theme.bodySize

    indicator: null
    arrow: null
    contentItem: Loader {
        active: menuItem.shown
        sourceComponent: Item {
            implicitWidth: row.implicitWidth
            implicitHeight: row.implicitHeight

            Symbol {
                x: 8 - menuItem.leftPadding
                anchors.verticalCenter: parent.verticalCenter
                visible: menuItem.checked
                name: "checkmark"
                size: Theme.bodySize
                color: menuItem.textColor
            }
            RowLayout {
                id: row
                anchors.fill: parent
                spacing: 24
                Text {
                    objectName: "menuTitle"
                    Layout.fillWidth: true
                    text: menuItem.text
                    textFormat: Text.PlainText
                    font: menuItem.font
                    color: menuItem.textColor
                    elide: Text.ElideRight
                    verticalAlignment: Text.AlignVCenter
                }
                Text {
                    objectName: "menuShortcut"
                    visible: text.length > 0
                    Layout.rightMargin: menuItem.subMenu ? 14 : 0
                    text: menuItem.action && menuItem.action.shortcut
                          ? KeySequences.nativeText(String(menuItem.action.shortcut)) : ""
                    textFormat: Text.PlainText
                    font.pixelSize: Theme.footnoteSize + 1
                    color: menuItem.highlighted ? Theme.menuHighlightedText : Theme.secondaryText
                    verticalAlignment: Text.AlignVCenter
                }
                Item {
                    visible: menuItem.subMenu !== null
                    Layout.preferredWidth: 14
                }
            }
            Symbol {
                x: parent.width - width + menuItem.rightPadding - 8
                anchors.verticalCenter: parent.verticalCenter
                visible: menuItem.subMenu !== null
                name: "chevron.right"
                size: Theme.footnoteSize
                color: menuItem.textColor
            }
        }
    }
    background: Rectangle {
        implicitWidth: 220
        radius: 5
        color: menuItem.highlighted ? Theme.menuHighlight : "transparent"
    }
}
