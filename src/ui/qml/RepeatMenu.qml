import QtQuick
import QtQuick.Controls
import Quillbrook

// The repeat symbol, in the accent colour while the to-do repeats; pressing it opens the
// rule editor.
AbstractButton {
    id: button
    required property var todo
    readonly property alias menu: model
    readonly property alias popup: popup

    objectName: "repeatButton"
    implicitWidth: 28
    implicitHeight: 28
    padding: 0
    Accessible.role: Accessible.Button
    Accessible.name: "Repeat"
    Accessible.description: model.accessibleValue
    ToolTip.visible: hovered && !popup.visible
    ToolTip.text: model.accessibleValue
    ToolTip.delay: 500

    RepeatMenuModel {
        id: model
        context: QuillbrookApp.context
        environment: QuillbrookApp.environment
        todo: button.todo
        onPresentedChanged: model.presented ? popup.open() : popup.close()
    }

    contentItem: Symbol {
        name: "repeat"
        size: 15
        font.weight: Font.DemiBold
        color: model.isRepeating ? Theme.accent : Theme.secondaryText
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
        objectName: "repeatPopup"
        x: button.width - width
        y: button.height + 4
        onClosed: model.presented = false
        contentItem: RepeatPickerSurface { id: surface; menu: model }
        onTakeFocus: (fromKeyboard) => surface.takeFocus(fromKeyboard)
    }
}
