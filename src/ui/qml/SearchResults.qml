import QtQuick
import QtQuick.Controls
import Quillbrook

// Quick Find: every to-do whose title or notes contain the query, open ones first.
FocusScope {
    id: root
    required property MainWindowState state

    SearchModel {
        id: results
        context: QuillbrookApp.context
        environment: QuillbrookApp.environment
        query: root.state.searchQuery
        accent: Theme.accent.toString()
    }

    TodoListView {
        id: listView
        anchors.fill: parent
        objectName: "searchList"
        state: root.state
        model: results
        header: Item { height: Theme.listTopSpacer; width: 1 }
        // Space completes an open to-do as its list would; a done one stays as it is.
        onCompleteRequested: (todo) => {
            if (!todo.isCompleted)
                QuillbrookApp.completions.start(todo)
        }
        delegate: SearchResultRow {
            required property int index
            width: ListView.view.width
            selected: root.state.selectedTodoId === todoId
            // The current row holds the keyboard; the list answers its keys.
            Keys.forwardTo: [listView]
            focusShown: ListView.isCurrentItem && listView.activeFocus && listView.keyboardFocus
            onOpened: listView.rowClicked(index)
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
