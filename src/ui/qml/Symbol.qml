import QtQuick
import Quillbrook

// One icon by symbol name, drawn from the icon font.
Text {
    property string name
    property real size: Theme.bodySize + 3

    text: Symbols.glyph(name)
    font.family: Symbols.fontFamily
    font.pixelSize: size
    verticalAlignment: Text.AlignVCenter
    horizontalAlignment: Text.AlignHCenter
    Accessible.ignored: true
}
