import QtQuick
import QtQuick.Controls
import Quillbrook

// Completed to-dos by day of completion, newest first.
Item {
    id: root
    required property MainWindowState state

    DoneModel { id: rows; app: QuillbrookApp }

    ListView {
        id: listView
        objectName: "doneList"
        anchors.fill: parent
        model: rows
        clip: true
        boundsBehavior: Flickable.StopAtBounds
        ScrollBar.vertical: ScrollBar {}
        header: Item { height: Theme.listTopSpacer; width: 1 }
        section.property: "section"
        section.delegate: SectionHeader {
            required property string section
            width: ListView.view.width
            title: section
        }
        delegate: DoneRow {
            width: ListView.view.width
            selected: root.state.selectedTodoId === todoId
            onOpened: root.state.navigateTo(todo)
            onReopenRequested: rows.reopen(todo)
        }
        remove: Transition { NumberAnimation { property: "opacity"; to: 0; duration: 250 } }
        displaced: Transition { NumberAnimation { properties: "y"; duration: 200 } }
    }

    Placard {
        objectName: "emptyPlacard"
        anchors.centerIn: parent
        visible: rows.count === 0
        title: "Nothing done yet"
        symbol: "checkmark.circle"
    }
}
