import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Quillbrook

// The perspectives with their live counts.
Rectangle {
    id: sidebar
    required property MainWindowState state
    color: Theme.sidebarBackground

    SidebarCounts {
        id: counts
        context: QuillbrookApp.context
        environment: QuillbrookApp.environment
    }

    ColumnLayout {
        anchors.fill: parent
        anchors.margins: 10
        spacing: 2

        Text {
            text: "Quill Brook"
            color: Theme.secondaryText
            font.pixelSize: Theme.footnoteSize
            font.weight: Font.DemiBold
            Layout.leftMargin: 8
            Layout.topMargin: 6
            Layout.bottomMargin: 6
        }

        Repeater {
            model: [
                { raw: "today", title: "Today", symbol: "sun.horizon.fill" },
                { raw: "later", title: "Later", symbol: "tray.full" },
                { raw: "done", title: "Done", symbol: "checkmark.circle" }
            ]
            delegate: ItemDelegate {
                id: entry
                required property var modelData
                readonly property bool current: sidebar.state.perspective === modelData.raw
                readonly property int badge: modelData.raw === "today" ? counts.today
                                           : modelData.raw === "later" ? counts.later : 0
                objectName: "sidebar-" + modelData.raw
                // A stop of the Tab chain (Space or Return shows the perspective); a click
                // hands the keyboard to the list it shows.
                focusPolicy: Qt.TabFocus
                Layout.fillWidth: true
                implicitHeight: 30
                padding: 0
                leftPadding: 8
                rightPadding: 8
                Accessible.name: modelData.title + (badge > 0 ? ", " + badge : "")
                background: Rectangle {
                    radius: 6
                    color: entry.current ? Theme.selection : (entry.hovered ? Theme.rowHover : "transparent")
                    FocusRing { shown: entry.visualFocus; inset: 0 }
                }
                Keys.onReturnPressed: clicked()
                contentItem: RowLayout {
                    spacing: 8
                    Symbol {
                        name: entry.modelData.symbol
                        color: Theme.accent
                        Layout.preferredWidth: 20
                    }
                    Text {
                        Layout.fillWidth: true
                        text: entry.modelData.title
                        color: Theme.primaryText
                        font.pixelSize: Theme.bodySize
                    }
                    Text {
                        objectName: "badge-" + entry.modelData.raw
                        visible: entry.badge > 0
                        text: entry.badge
                        color: Theme.secondaryText
                        font.pixelSize: Theme.footnoteSize
                    }
                }
                onClicked: {
                    sidebar.state.searchQuery = ""
                    sidebar.state.perspective = modelData.raw
                    if (!visualFocus)
                        sidebar.state.returnToList()
                }
            }
        }
        Item { Layout.fillHeight: true }

        // Sync stays out of the way: a quiet line while it works, a red one when it failed.
        SyncModel {
            id: syncStatus
            service: QuillbrookApp.sync
            environment: QuillbrookApp.environment
        }
        Text {
            objectName: "syncActivity"
            Layout.fillWidth: true
            Layout.leftMargin: 8
            Layout.bottomMargin: 4
            visible: text !== ""
            text: syncStatus.activityText
            elide: Text.ElideRight
            color: syncStatus.syncing ? Theme.secondaryText : Theme.destructive
            font.pixelSize: Theme.footnoteSize
            Accessible.name: syncStatus.problemText !== "" ? text + ": " + syncStatus.problemText
                           : syncStatus.needsPassword ? text + ": " + syncStatus.passwordNote : text
        }
    }
}
