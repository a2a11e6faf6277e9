#include "symboltable.h"

#include <QHash>

namespace qb {

namespace {

// Code points of the Material Icons font.
const QHash<QString, char16_t> &table() {
    static const QHash<QString, char16_t> symbols{
        {QStringLiteral("sun.horizon.fill"), 0xe1c6}, // wb_twilight
        {QStringLiteral("sun.horizon"), 0xe1c6},
        {QStringLiteral("tray"), 0xe156},                 // inbox
        {QStringLiteral("tray.full"), 0xe1a1},            // inventory_2
        {QStringLiteral("checkmark.circle"), 0xe86c},     // check_circle
        {QStringLiteral("checkmark"), 0xe5ca},            // check
        {QStringLiteral("plus.circle"), 0xe147},          // add_circle
        {QStringLiteral("plus"), 0xe145},                 // add
        {QStringLiteral("pencil"), 0xe3c9},               // edit
        {QStringLiteral("note.text"), 0xe26c},            // notes
        {QStringLiteral("text.alignleft"), 0xe236},       // format_align_left
        {QStringLiteral("calendar"), 0xe935},             // calendar_today
        {QStringLiteral("arrow.uturn.backward"), 0xe166}, // undo
        {QStringLiteral("repeat"), 0xe040},
        {QStringLiteral("xmark"), 0xe5cd}, // close
        {QStringLiteral("trash"), 0xe872}, // delete
        {QStringLiteral("checklist"), 0xe6b1},
        {QStringLiteral("magnifyingglass"), 0xe8b6},        // search
        {QStringLiteral("ellipsis.circle"), 0xe5d3},        // more_horiz
        {QStringLiteral("gearshape"), 0xe8b8},              // settings
        {QStringLiteral("sun.max"), 0xe518},                // light_mode
        {QStringLiteral("moon"), 0xe51c},                   // dark_mode
        {QStringLiteral("circle.lefthalf.filled"), 0xe3ab}, // contrast
        {QStringLiteral("clock.arrow.circlepath"), 0xe889}, // history
        {QStringLiteral("arrow.down.circle"), 0xf181},      // arrow_circle_down
        {QStringLiteral("icloud"), 0xe2bd},                 // cloud
        {QStringLiteral("info.circle"), 0xe88e},            // info
        {QStringLiteral("minus.circle"), 0xe15d},           // remove_circle_outline
        {QStringLiteral("chevron.left"), 0xe5cb},
        {QStringLiteral("chevron.right"), 0xe5cc},
        {QStringLiteral("exclamationmark.triangle"), 0xe002}, // warning
        {QStringLiteral("line.3.horizontal"), 0xe25d},        // drag_handle
    };
    return symbols;
}

constexpr char16_t unknownGlyph = 0xe8fd; // help_outline

} // namespace

SymbolTable::SymbolTable(QObject *parent)
    : QObject(parent) {}

QString SymbolTable::glyph(const QString &symbolName) {
    return QString(QChar(table().value(symbolName, unknownGlyph)));
}

bool SymbolTable::contains(const QString &symbolName) {
    return table().contains(symbolName);
}

QStringList SymbolTable::names() {
    return table().keys();
}

} // namespace qb
