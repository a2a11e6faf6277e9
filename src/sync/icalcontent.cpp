#include "sync/icalcontent.h"

#include <QUrl>

namespace qb::sync::ical {

namespace {

constexpr int foldWidth = 75;

// The name of an unfolded line: up to the first ';' or ':'.
QByteArray nameOf(const QByteArray &unfolded) {
    qsizetype end = 0;
    while (end < unfolded.size() && unfolded[end] != ';' && unfolded[end] != ':')
        ++end;
    return unfolded.left(end).trimmed().toUpper();
}

QByteArray valueOf(const QByteArray &unfolded) {
    const qsizetype colon = unfolded.indexOf(':');
    return colon < 0 ? QByteArray() : unfolded.mid(colon + 1).trimmed().toUpper();
}

QByteArray unfold(const QByteArray &raw) {
    QByteArray result;
    result.reserve(raw.size());
    for (qsizetype i = 0; i < raw.size(); ++i) {
        const char c = raw[i];
        if (c == '\r' || c == '\n') {
            // A line end followed by a space or tab continues the line.
            while (i + 1 < raw.size() && (raw[i + 1] == '\r' || raw[i + 1] == '\n'))
                ++i;
            if (i + 1 < raw.size() && (raw[i + 1] == ' ' || raw[i + 1] == '\t'))
                ++i;
            continue;
        }
        result.append(c);
    }
    return result;
}

bool isContinuation(const QByteArray &text, qsizetype at) {
    return at < text.size() && (text[at] == ' ' || text[at] == '\t');
}

} // namespace

QList<ContentLine> splitLines(const QByteArray &text) {
    QList<ContentLine> lines;
    int depth = 0;
    qsizetype start = 0;
    while (start < text.size()) {
        // A physical line, then any continuation lines.
        qsizetype end = start;
        do {
            const qsizetype newline = text.indexOf('\n', end);
            end = newline < 0 ? text.size() : newline + 1;
        } while (isContinuation(text, end));
        ContentLine line;
        line.raw = text.mid(start, end - start);
        start = end;
        const QByteArray unfolded = unfold(line.raw);
        if (unfolded.trimmed().isEmpty())
            continue;
        line.name = nameOf(unfolded);
        if (line.name == "BEGIN") {
            line.component = valueOf(unfolded);
            line.depth = ++depth;
        } else if (line.name == "END") {
            line.component = valueOf(unfolded);
            line.depth = depth;
            depth = std::max(0, depth - 1);
        } else {
            line.depth = depth;
        }
        lines.append(line);
    }
    return lines;
}

QByteArray line(const QByteArray &head, const QByteArray &value) {
    const QByteArray whole = head + ':' + value;
    QByteArray folded;
    folded.reserve(whole.size() + whole.size() / foldWidth * 3 + 2);
    int width = 0;
    for (qsizetype i = 0; i < whole.size();) {
        // A UTF-8 sequence moves as a whole.
        qsizetype length = 1;
        const auto lead = static_cast<unsigned char>(whole[i]);
        if (lead >= 0xF0)
            length = 4;
        else if (lead >= 0xE0)
            length = 3;
        else if (lead >= 0xC0)
            length = 2;
        length = std::min(length, whole.size() - i);
        if (width + length > foldWidth) {
            folded += "\r\n ";
            width = 1;
        }
        folded += whole.mid(i, length);
        width += int(length);
        i += length;
    }
    return folded + "\r\n";
}

QByteArray escapeText(const QString &text) {
    QByteArray escaped;
    const QByteArray utf8 = text.toUtf8();
    escaped.reserve(utf8.size() + 8);
    for (qsizetype i = 0; i < utf8.size(); ++i) {
        const char c = utf8[i];
        switch (c) {
        case '\\':
            escaped += "\\\\";
            break;
        case ';':
            escaped += "\\;";
            break;
        case ',':
            escaped += "\\,";
            break;
        case '\r':
            if (i + 1 < utf8.size() && utf8[i + 1] == '\n')
                ++i;
            escaped += "\\n";
            break;
        case '\n':
            escaped += "\\n";
            break;
        default:
            escaped += c;
        }
    }
    return escaped;
}

QByteArray dateValue(const QDate &date) {
    return date.toString(QStringLiteral("yyyyMMdd")).toLatin1();
}

QByteArray utcValue(const QDateTime &moment) {
    return moment.toUTC().toString(QStringLiteral("yyyyMMdd'T'HHmmss'Z'")).toLatin1();
}

QByteArray parameterValue(const QString &text) {
    return QUrl::toPercentEncoding(text);
}

QString parameterText(const QByteArray &value) {
    return QUrl::fromPercentEncoding(value);
}

} // namespace qb::sync::ical
