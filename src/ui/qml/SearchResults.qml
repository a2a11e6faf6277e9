import QtQuick
import QtQuick.Controls
import Quillbrook

// Quick Find: every to-do whose title or notes contain the query, open ones first.
Item {
    id: root
    required property MainWindowState state

    SearchModel {
        id: results
        app: QuillbrookApp
        query: root.state.searchQuery
        accent: Theme.accent.toString()
    }

    ListView {
        anchors.fill: parent
        objectName: "searchList"
        model: results
        clip: true
        boundsBehavior: Flickable.StopAtBounds
        ScrollBar.vertical: ScrollBar {}
        header: Item { height: Theme.listTopSpacer; width: 1 }
        delegate: SearchResultRow {
            width: ListView.view.width
            selected: root.state.selectedTodoId === todoId
            onOpened: root.state.navigateTo(todo)
        }
    }

    Placard {
        anchors.centerIn: parent
        visible: results.trimmedQuery.length === 0
        title: "Quick Find"
        symbol: "magnifyingglass"
        description: "Search your to-dos by title or notes."
    }
    Placard {
        objectName: "noResults"
        anchors.centerIn: parent
        visible: results.trimmedQuery.length > 0 && results.isEmpty
        title: "No Results for “" + results.trimmedQuery + "”"
        symbol: "magnifyingglass"
        description: "Check the spelling or try a new search."
    }
}
