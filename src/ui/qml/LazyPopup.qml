import QtQuick

// A menu, dialog or secondary window built the first time it is asked for. Most sessions
// never open most of them, and built up front they cost each window's start-up more than its
// rows do.
Loader {
    // A popup's parent item: as large as the place it stands in, which dialogs size and centre
    // themselves by.
    anchors.fill: parent
    active: false

    // The object, built now if it was not yet.
    function get() {
        active = true
        return item
    }
}
