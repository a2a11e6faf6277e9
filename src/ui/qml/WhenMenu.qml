import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Quillbrook

// The to-do's day in words; pressing it opens the When popover.
AbstractButton {
    id: button
    required property var todo
    readonly property alias menu: model
    readonly property alias popup: popup

    objectName: "whenButton"
    padding: 4
    Accessible.name: "When"
    Accessible.description: model.label

    WhenMenuModel {
        id: model
        context: QuillbrookApp.context
        environment: QuillbrookApp.environment
        undoCenter: QuillbrookApp.undoCenter
        todo: button.todo
        onPresentedChanged: model.presented ? popup.open() : popup.close()
    }

    contentItem: RowLayout {
        spacing: 4
        Symbol {
            name: "calendar"
            color: Theme.secondaryText
        }
        Text {
            objectName: "whenLabel"
            text: model.label
            color: Theme.secondaryText
            font.pixelSize: Theme.subheadlineSize
            font.weight: Font.Medium
        }
    }
    background: Rectangle {
        radius: 6
        color: button.hovered || popup.visible ? Theme.rowHover : "transparent"
        FocusRing { shown: button.visualFocus; inset: 0 }
    }
    onClicked: model.presented = !model.presented
    Keys.onReturnPressed: clicked()
    Keys.onEnterPressed: clicked()

    PickerPopup {
        id: popup
        objectName: "whenPopup"
        y: button.height + 4
        onClosed: model.presented = false
        contentItem: WhenPickerSurface { id: surface; menu: model }
        onTakeFocus: (fromKeyboard) => surface.takeFocus(fromKeyboard)
    }
}
