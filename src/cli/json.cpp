#include "json.h"

#include <QLocale>

#include <algorithm>
#include <cmath>

namespace qb::cli {

namespace {

void writeString(QByteArray &out, const QString &text) {
    // Escaped in UTF-8: one conversion for the whole text.
    const QByteArray utf8 = text.toUtf8();
    out += '"';
    qsizetype plain = 0; // start of the run of bytes written as they are
    const auto escape = [&](qsizetype at, qsizetype length, QByteArrayView with) {
        out.append(utf8.constData() + plain, at - plain);
        out += with;
        plain = at + length;
    };
    for (qsizetype i = 0; i < utf8.size(); ++i) {
        const auto byte = quint8(utf8[i]);
        if (byte == '"')
            escape(i, 1, "\\\"");
        else if (byte == '\\')
            escape(i, 1, "\\\\");
        else if (byte == '\n')
            escape(i, 1, "\\n");
        else if (byte == '\r')
            escape(i, 1, "\\r");
        else if (byte == '\t')
            escape(i, 1, "\\t");
        else if (byte < 0x20 || byte == 0x7f)
            // Other control characters are escaped too.
            escape(i, 1, "\\u00" + QByteArray::number(byte, 16).rightJustified(2, '0'));
        else if (byte == 0xe2 && i + 2 < utf8.size() && quint8(utf8[i + 1]) == 0x80 &&
                 (quint8(utf8[i + 2]) == 0xa8 || quint8(utf8[i + 2]) == 0xa9))
            // U+2028 and U+2029, which JavaScript reads as line breaks.
            escape(i, 3, quint8(utf8[i + 2]) == 0xa8 ? "\\u2028" : "\\u2029");
    }
    out.append(utf8.constData() + plain, utf8.size() - plain);
    out += '"';
}

void indent(QByteArray &out, int depth) {
    out += '\n';
    out += QByteArray(depth * 2, ' ');
}

} // namespace

Json::Json(const QString &text)
    : m_value(text) {}

Json Json::array(Array items) {
    Json json;
    json.m_value = std::move(items);
    return json;
}

Json Json::object(Object members) {
    Json json;
    json.m_value = std::move(members);
    return json;
}

Json Json::textOrNull(const QString &text) {
    return text.isNull() ? Json() : Json(text);
}

Json &Json::set(const QString &key, Json value) {
    auto &members = std::get<Object>(m_value);
    for (auto &member : members) {
        if (member.key == key) {
            member.value = std::move(value);
            return *this;
        }
    }
    members.push_back({key, std::move(value)});
    return *this;
}

Json &Json::append(Json item) {
    std::get<Array>(m_value).push_back(std::move(item));
    return *this;
}

QByteArray Json::toText() const {
    QByteArray out;
    appendTo(out, 0);
    out += '\n';
    return out;
}

void Json::appendTo(QByteArray &out, int depth) const {
    std::visit(
        [&](const auto &v) {
            using T = std::decay_t<decltype(v)>;
            if constexpr (std::is_same_v<T, std::nullptr_t>) {
                out += "null";
            } else if constexpr (std::is_same_v<T, bool>) {
                out += v ? "true" : "false";
            } else if constexpr (std::is_same_v<T, qint64>) {
                out += QByteArray::number(v);
            } else if constexpr (std::is_same_v<T, double>) {
                // Shortest text that reads back as the same double; JSON has no NaN or infinity.
                out += std::isfinite(v)
                           ? QString::number(v, 'g', QLocale::FloatingPointShortest).toLatin1()
                           : QByteArray("null");
            } else if constexpr (std::is_same_v<T, QString>) {
                writeString(out, v);
            } else if constexpr (std::is_same_v<T, Array>) {
                if (v.empty()) {
                    out += "[]";
                    return;
                }
                // Short arrays of plain values ([done, total], match ranges) stay on one line.
                const bool inline_ = std::all_of(v.begin(), v.end(), [](const Json &item) {
                    return !std::holds_alternative<Array>(item.m_value) &&
                           !std::holds_alternative<Object>(item.m_value);
                });
                out += '[';
                for (std::size_t i = 0; i < v.size(); ++i) {
                    if (inline_) {
                        if (i > 0)
                            out += ", ";
                        v[i].appendTo(out, depth + 1);
                        continue;
                    }
                    indent(out, depth + 1);
                    v[i].appendTo(out, depth + 1);
                    if (i + 1 < v.size())
                        out += ',';
                }
                if (!inline_)
                    indent(out, depth);
                out += ']';
            } else {
                if (v.empty()) {
                    out += "{}";
                    return;
                }
                out += '{';
                for (std::size_t i = 0; i < v.size(); ++i) {
                    indent(out, depth + 1);
                    writeString(out, v[i].key);
                    out += ": ";
                    v[i].value.appendTo(out, depth + 1);
                    if (i + 1 < v.size())
                        out += ',';
                }
                indent(out, depth);
                out += '}';
            }
        },
        m_value);
}

} // namespace qb::cli
