#include "model/todopredicate.h"

#include "model/todoitem.h"

namespace qb {

TodoPredicate::TodoPredicate(Node node)
    : m_node(std::make_shared<const Node>(std::move(node))) {}

TodoPredicate TodoPredicate::all() {
    return TodoPredicate(Constant{true});
}

TodoPredicate TodoPredicate::none() {
    return TodoPredicate(Constant{false});
}

TodoPredicate TodoPredicate::isCompleted(bool value) {
    return TodoPredicate(Completed{value});
}

TodoPredicate TodoPredicate::dateBefore(DateField field, const QDateTime &boundary,
                                        const QDateTime &fallback) {
    return TodoPredicate(DateBefore{field, boundary.toUTC(), fallback.toUTC()});
}

TodoPredicate TodoPredicate::dateAtOrAfter(DateField field, const QDateTime &boundary,
                                           const QDateTime &fallback) {
    return TodoPredicate(DateAtOrAfter{field, boundary.toUTC(), fallback.toUTC()});
}

TodoPredicate TodoPredicate::dateAbsent(DateField field) {
    return TodoPredicate(DateAbsent{field});
}

TodoPredicate TodoPredicate::textEquals(TextField field, const QString &text) {
    return TodoPredicate(TextEquals{field, text});
}

TodoPredicate TodoPredicate::notRecord(const TodoItem &item) {
    return TodoPredicate(NotRecord{item.storageKey()});
}

TodoPredicate TodoPredicate::textContainsAny(const QList<TextField> &fields, const QString &text) {
    return TodoPredicate(TextContainsAny{fields, text});
}

TodoPredicate TodoPredicate::idEquals(const QUuid &id) {
    return TodoPredicate(IdEquals{id});
}

TodoPredicate TodoPredicate::idPrefix(const QString &prefix) {
    return TodoPredicate(IdPrefix{prefix.toLower()});
}

TodoPredicate TodoPredicate::hasSubtaskWithIdPrefix(const QString &prefix) {
    return TodoPredicate(SubtaskIdPrefix{prefix.toLower()});
}

TodoPredicate operator&&(const TodoPredicate &a, const TodoPredicate &b) {
    return TodoPredicate(TodoPredicate::And{a.m_node, b.m_node});
}

TodoPredicate operator||(const TodoPredicate &a, const TodoPredicate &b) {
    return TodoPredicate(TodoPredicate::Or{a.m_node, b.m_node});
}

TodoPredicate operator!(const TodoPredicate &a) {
    return TodoPredicate(TodoPredicate::Not{a.m_node});
}

QDateTime distantPast() {
    return QDateTime(QDate(1, 1, 1), QTime(0, 0), Qt::UTC);
}

QDateTime distantFuture() {
    return QDateTime(QDate(4001, 1, 1), QTime(0, 0), Qt::UTC);
}

} // namespace qb
