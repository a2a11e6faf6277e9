#pragma once

#include <QByteArray>
#include <QString>

#include <utility>
#include <variant>
#include <vector>

namespace qb::cli {

// A JSON value whose objects keep their members in the order they were added, so output reads
// in the order of the fields' meaning and is byte-for-byte stable.
class Json {
public:
    struct Member;
    using Array = std::vector<Json>;
    using Object = std::vector<Member>;

    Json() = default; // null
    Json(std::nullptr_t) {}
    Json(bool value)
        : m_value(value) {}
    Json(int value)
        : m_value(qint64(value)) {}
    Json(qint64 value)
        : m_value(value) {}
    Json(double value)
        : m_value(value) {}
    Json(const QString &text);
    Json(const char *) = delete; // say QStringLiteral: no accidental bool

    static Json array(Array items = {});
    static Json object(Object members = {});
    // Text, or null for a null QString.
    static Json textOrNull(const QString &text);

    // For objects: appends (or replaces) a member. For arrays: appends an item.
    Json &set(const QString &key, Json value);
    Json &append(Json item);

    // Two-space indentation, a final newline.
    QByteArray toText() const;
    // The value as toText() writes it `depth` levels deep in a document, without the newline.
    void appendTo(QByteArray &out, int depth) const;

private:
    using Value = std::variant<std::nullptr_t, bool, qint64, double, QString, Array, Object>;
    Value m_value = nullptr;
};

struct Json::Member {
    QString key;
    Json value;
};

} // namespace qb::cli
