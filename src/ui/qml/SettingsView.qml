import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Quillbrook

// The settings form: Appearance, General, Sync and About sections, 480 × 560.
Rectangle {
    id: view
    implicitWidth: 480
    implicitHeight: 560
    color: Theme.detailBackground

    SettingsModel { id: settings; preferences: QuillbrookApp.preferences }

    component SectionTitle: Text {
        Layout.topMargin: 6
        Layout.leftMargin: 4
        color: Theme.secondaryText
        font.pixelSize: Theme.footnoteSize
        font.weight: Font.DemiBold
    }
    component Group: Rectangle {
        default property alias rows: column.data
        Layout.fillWidth: true
        implicitHeight: column.implicitHeight + 16
        radius: 8
        color: Theme.windowBackground
        border.color: Theme.separator
        ColumnLayout {
            id: column
            anchors.fill: parent
            anchors.margins: 8
            anchors.leftMargin: 12
            anchors.rightMargin: 12
            spacing: 8
        }
    }
    component Label: Text {
        Layout.fillWidth: true
        color: Theme.primaryText
        font.pixelSize: Theme.bodySize
    }
    // A picker over {value, title} options writing the chosen value at once.
    component OptionPicker: MenuPicker {
        property var options: []
        property string value
        signal picked(string value)
        implicitWidth: 150
        implicitHeight: 28
        model: options
        textRole: "title"
        valueRole: "value"
        currentIndex: options.findIndex(option => option.value === value)
        onActivated: (index) => picked(options[index].value)
    }

    ColumnLayout {
        anchors.fill: parent
        anchors.margins: 20
        spacing: 6

        SectionTitle { text: "Appearance" }
        Group {
            RowLayout {
                Label { text: "Theme" }
                OptionPicker {
                    objectName: "themePicker"
                    Accessible.name: "Theme"
                    options: settings.appearanceOptions
                    value: settings.appearance
                    onPicked: (value) => settings.appearance = value
                }
            }
        }

        SectionTitle { text: "General" }
        Group {
            RowLayout {
                Label { text: "Open to" }
                OptionPicker {
                    objectName: "openToPicker"
                    Accessible.name: "Open to"
                    options: settings.openToOptions
                    value: settings.openTo
                    onPicked: (value) => settings.openTo = value
                }
            }
            RowLayout {
                Label {
                    text: "Keep running in the tray when the last window closes"
                    wrapMode: Text.WordWrap
                }
                Switch {
                    id: trayToggle
                    objectName: "keepInTraySwitch"
                    Accessible.name: "Keep running in the tray when the last window closes"
                    checked: settings.keepInTray
                    // The Basic style draws a checked track in the palette's dark colour.
                    palette.dark: Theme.accent
                    palette.midlight: Theme.dark ? Qt.rgba(1, 1, 1, 0.16) : Qt.rgba(0, 0, 0, 0.1)
                    onToggled: settings.keepInTray = checked
                    FocusRing { shown: trayToggle.visualFocus; inset: 0 }
                }
            }
        }

        SectionTitle { text: "Sync" }
        Group {
            SyncSection { Layout.fillWidth: true }
        }

        SectionTitle { text: "About" }
        Group {
            RowLayout {
                Label { text: "Version" }
                Text {
                    objectName: "versionText"
                    text: settings.versionText
                    color: Theme.secondaryText
                    font.pixelSize: Theme.bodySize
                }
            }
        }
        Item { Layout.fillHeight: true }
    }
}
