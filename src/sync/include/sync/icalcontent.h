#pragma once

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QList>
#include <QString>

namespace qb::sync::ical {

// One content line exactly as received: its continuation lines and line end are part of `raw`,
// so a line copied from it is copied byte for byte.
struct ContentLine {
    QByteArray raw;
    QByteArray name;      // upper case
    QByteArray component; // for BEGIN and END lines, the component's name in upper case
    // How many components enclose the line; a component's BEGIN and END count the component.
    int depth = 0;
};

// Splits iCalendar text into content lines (CRLF or bare LF line ends).
QList<ContentLine> splitLines(const QByteArray &text);

// A line we write: `head` is the name with its parameters; the value is folded at 75 octets,
// never inside a UTF-8 sequence, and ends with CRLF.
QByteArray line(const QByteArray &head, const QByteArray &value);
// TEXT values: backslash, semicolon, comma and line breaks escaped.
QByteArray escapeText(const QString &text);
QByteArray dateValue(const QDate &date);      // 20240310
QByteArray utcValue(const QDateTime &moment); // 20240310T101500Z
// Parameter values are written as percent-encoded text, so any stored text fits in one.
QByteArray parameterValue(const QString &text);
QString parameterText(const QByteArray &value);

} // namespace qb::sync::ical
