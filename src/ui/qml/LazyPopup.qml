import QtQuick

// A menu or dialog built the first time it is asked for. Most sessions never open most of
// them, and built up front their items and submenus cost each window's start-up more than
// its rows do.
Loader {
    // The popup's parent item: as large as the place it stands in, which dialogs size and
    // centre themselves by.
    anchors.fill: parent
    active: false

    // The popup, built now if it was not yet.
    function get() {
        active = true
        return item
    }
}
