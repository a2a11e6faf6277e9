import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import QtQuick.Window
import Quillbrook

// Keyboard Shortcuts: every shortcut of the main window, section by section. Escape closes it.
Window {
    id: shortcutsWindow
    objectName: "shortcutsWindow"
    title: "Keyboard Shortcuts"
    width: 520
    height: 600
    minimumWidth: 420
    minimumHeight: 300
    color: Theme.detailBackground

    function present() {
        show()
        raise()
        requestActivate()
        list.forceActiveFocus()
    }

    Shortcut {
        sequences: ["Esc", "Ctrl+W"]
        onActivated: shortcutsWindow.close()
    }

    ListView {
        id: list
        objectName: "shortcutList"
        anchors.fill: parent
        anchors.margins: 16
        clip: true
        focus: true
        boundsBehavior: Flickable.StopAtBounds
        ScrollBar.vertical: ScrollBar {}
        model: {
            const rows = []
            for (const section of Shortcuts.sections) {
                for (const row of section.rows)
                    rows.push({ section: section.title, title: row.title, keys: row.keys })
            }
            return rows
        }
        section.property: "section"
        section.delegate: Text {
            required property string section
            width: ListView.view.width
            topPadding: 14
            bottomPadding: 4
            text: section
            color: Theme.secondaryText
            font.pixelSize: Theme.subheadlineSize
            font.weight: Font.DemiBold
            Accessible.role: Accessible.Heading
            Accessible.name: text
        }
        // Up and Down scroll the list, as Page Up and Page Down do a page.
        Keys.onUpPressed: flick(0, 800)
        Keys.onDownPressed: flick(0, -800)
        delegate: RowLayout {
            id: row
            required property var modelData
            readonly property string keysText: modelData.keys.map(key => KeySequences.nativeText(key)).join(" or ")
            objectName: "shortcut-" + modelData.title
            width: ListView.view.width
            height: 26
            spacing: 12
            Accessible.role: Accessible.StaticText
            Accessible.name: modelData.title + ": " + keysText
            Text {
                Layout.fillWidth: true
                text: row.modelData.title
                textFormat: Text.PlainText
                color: Theme.primaryText
                font.pixelSize: Theme.bodySize
                elide: Text.ElideRight
            }
            Text {
                objectName: "keys"
                text: row.keysText
                textFormat: Text.PlainText
                color: Theme.secondaryText
                font.pixelSize: Theme.bodySize
            }
        }
    }
}
