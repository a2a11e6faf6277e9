import QtQuick
import QtQuick.Controls
import Quillbrook

// A growing text field for the user's own text: plain text always, and Tab or Shift+Tab
// moves to the next or previous control instead of typing a tab.
TextArea {
    textFormat: TextEdit.PlainText
    background: null
    Keys.onTabPressed: nextItemInFocusChain(true).forceActiveFocus(Qt.TabFocusReason)
    Keys.onBacktabPressed: nextItemInFocusChain(false).forceActiveFocus(Qt.BacktabFocusReason)
}
