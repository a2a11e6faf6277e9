pragma Singleton
import QtQuick
import Quillbrook

// Colours, sizes and timings shared by every view; follows the appearance preference.
QtObject {
    readonly property bool dark: QuillbrookApp.dark

    readonly property color accent: dark ? "#0a84ff" : "#007aff"
    readonly property color destructive: dark ? "#ff453a" : "#ff3b30"
    readonly property color overdue: dark ? "#ff453a" : "#e0281e"
    readonly property color windowBackground: dark ? "#1e1e1e" : "#ffffff"
    readonly property color sidebarBackground: dark ? "#262628" : "#f0f0f3"
    readonly property color detailBackground: dark ? "#1b1b1d" : "#fafafa"
    readonly property color separator: dark ? "#38383a" : "#dcdce0"
    readonly property color selection: dark ? Qt.rgba(0.04, 0.52, 1, 0.28) : Qt.rgba(0, 0.48, 1, 0.14)
    readonly property color rowHover: dark ? Qt.rgba(1, 1, 1, 0.04) : Qt.rgba(0, 0, 0, 0.03)
    readonly property color primaryText: dark ? "#f2f2f7" : "#1d1d1f"
    readonly property color secondaryText: dark ? Qt.rgba(0.92, 0.92, 0.96, 0.6) : Qt.rgba(0.11, 0.11, 0.12, 0.6)
    readonly property color tertiaryText: dark ? Qt.rgba(0.92, 0.92, 0.96, 0.35) : Qt.rgba(0.11, 0.11, 0.12, 0.38)
    // The completion mark's outline: the secondary colour at 45 %.
    readonly property color circleOutline: Qt.rgba(secondaryText.r, secondaryText.g, secondaryText.b, 0.45)
    readonly property color toastBackground: dark ? Qt.rgba(0.22, 0.22, 0.24, 0.88) : Qt.rgba(0.98, 0.98, 0.99, 0.9)
    readonly property color toastBorder: dark ? Qt.rgba(1, 1, 1, 0.12) : Qt.rgba(0, 0, 0, 0.1)
    // The keyboard focus ring: the accent, strong enough on every background.
    readonly property color focusRing: dark ? "#409cff" : "#0066d6"
    // Menus, drop-down lists and popovers share one surface.
    readonly property color menuBackground: dark ? "#2c2c2e" : "#ffffff"
    readonly property color menuBorder: dark ? Qt.rgba(1, 1, 1, 0.14) : Qt.rgba(0, 0, 0, 0.14)
    // Darker than the accent, so white text on it reads (a contrast above 4.5).
    readonly property color menuHighlight: dark ? "#0a5fc4" : "#0064d1"
    readonly property color menuHighlightedText: "#ffffff"
    // Rows are opaque, so nothing behind a row (a swipe action) shows through it.
    readonly property color selectedRow: dark ? "#183b5d" : "#dbecff"
    readonly property color hoveredRow: dark ? "#272727" : "#f7f7f7"

    readonly property int bodySize: 13
    readonly property int subheadlineSize: 12
    readonly property int footnoteSize: 11
    readonly property int captionSize: 10

    readonly property int rowInsetVertical: 7
    readonly property int rowInsetHorizontal: 12
    readonly property int listTopSpacer: 16
    readonly property int circleSize: 22
}
