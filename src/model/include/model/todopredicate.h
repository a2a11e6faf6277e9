#pragma once

#include <QDateTime>
#include <QList>
#include <QString>
#include <QUuid>

#include <memory>
#include <optional>
#include <variant>

namespace qb {

// A filter over to-dos that the store evaluates itself (in SQL, using its indexes). It is a
// small expression tree; build it with the factory functions and the && / || / ! operators.
class TodoPredicate {
public:
    enum class DateField { ScheduledDate, CompletedAt, CreatedAt };
    enum class TextField { Title, Notes, ListRaw };

    struct Constant {
        bool value;
    };
    struct Completed {
        bool value;
    };
    // (field, or `fallback` when absent) compared with `boundary`.
    struct DateBefore {
        DateField field;
        QDateTime boundary;
        QDateTime fallback;
    };
    struct DateAtOrAfter {
        DateField field;
        QDateTime boundary;
        QDateTime fallback;
    };
    struct DateAbsent {
        DateField field;
    };
    struct TextEquals {
        TextField field;
        QString text;
    };
    // Any of the fields contains the text, locale-aware: case- and diacritic-insensitive (one
    // test per row, not one per field).
    struct TextContainsAny {
        QList<TextField> fields;
        QString text;
    };
    struct IdEquals {
        QUuid id;
    };
    // Every to-do except this record (its store row, not its id): a record excluding itself.
    struct NotRecord {
        qint64 storageKey;
    };
    // The id's text form starts with `prefix` (letter case ignored): short ids typed by hand.
    struct IdPrefix {
        QString prefix;
    };
    // Some subtask of the to-do has an id starting with `prefix` (letter case ignored).
    struct SubtaskIdPrefix {
        QString prefix;
    };
    struct Not;
    struct And;
    struct Or;
    using Node =
        std::variant<Constant, Completed, DateBefore, DateAtOrAfter, DateAbsent, TextEquals,
                     TextContainsAny, IdEquals, NotRecord, IdPrefix, SubtaskIdPrefix, Not, And, Or>;
    struct Not {
        std::shared_ptr<const Node> operand;
    };
    struct And {
        std::shared_ptr<const Node> left, right;
    };
    struct Or {
        std::shared_ptr<const Node> left, right;
    };

    static TodoPredicate all();
    static TodoPredicate none();
    static TodoPredicate isCompleted(bool value);
    static TodoPredicate dateBefore(DateField field, const QDateTime &boundary,
                                    const QDateTime &fallback);
    static TodoPredicate dateAtOrAfter(DateField field, const QDateTime &boundary,
                                       const QDateTime &fallback);
    static TodoPredicate dateAbsent(DateField field);
    static TodoPredicate textEquals(TextField field, const QString &text);
    static TodoPredicate textContainsAny(const QList<TextField> &fields, const QString &text);
    static TodoPredicate idEquals(const QUuid &id);
    // Answered from any index (the row key is in every index entry), unlike !idEquals.
    static TodoPredicate notRecord(const class TodoItem &item);
    static TodoPredicate idPrefix(const QString &prefix);
    static TodoPredicate hasSubtaskWithIdPrefix(const QString &prefix);

    friend TodoPredicate operator&&(const TodoPredicate &a, const TodoPredicate &b);
    friend TodoPredicate operator||(const TodoPredicate &a, const TodoPredicate &b);
    friend TodoPredicate operator!(const TodoPredicate &a);

    const Node &node() const { return *m_node; }

private:
    explicit TodoPredicate(Node node);
    std::shared_ptr<const Node> m_node;
};

struct TodoSort {
    enum class Field { SortOrder, CreatedAt, CompletedAt, ScheduledDate, Title, IsCompleted };
    Field field = Field::SortOrder;
    bool ascending = true;
};

// What to fetch: predicate, sort keys in priority order, optional offset and limit (a window
// into the sorted result, for views that load rows as they scroll).
struct TodoFetch {
    TodoPredicate predicate = TodoPredicate::all();
    QList<TodoSort> sort;
    std::optional<int> limit;
    int offset = 0;
};

// Stand-ins for an absent date in comparisons.
QDateTime distantPast();
QDateTime distantFuture();

} // namespace qb
