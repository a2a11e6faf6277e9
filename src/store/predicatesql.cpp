#include "predicatesql.h"

#include <utility>

namespace qb::sql {

namespace {

QString column(TodoPredicate::DateField field) {
    switch (field) {
    case TodoPredicate::DateField::ScheduledDate:
        return QStringLiteral("scheduled_date");
    case TodoPredicate::DateField::CompletedAt:
        return QStringLiteral("completed_at");
    case TodoPredicate::DateField::CreatedAt:
        return QStringLiteral("created_at");
    }
    return {};
}

QString column(TodoPredicate::TextField field) {
    switch (field) {
    case TodoPredicate::TextField::Title:
        return QStringLiteral("title");
    case TodoPredicate::TextField::Notes:
        return QStringLiteral("notes");
    case TodoPredicate::TextField::ListRaw:
        return QStringLiteral("list_raw");
    }
    return {};
}

QString column(TodoSort::Field field) {
    switch (field) {
    case TodoSort::Field::SortOrder:
        return QStringLiteral("sort_order");
    case TodoSort::Field::CreatedAt:
        return QStringLiteral("created_at");
    case TodoSort::Field::CompletedAt:
        return QStringLiteral("completed_at");
    case TodoSort::Field::ScheduledDate:
        return QStringLiteral("scheduled_date");
    case TodoSort::Field::Title:
        return QStringLiteral("title");
    case TodoSort::Field::IsCompleted:
        return QStringLiteral("is_completed");
    }
    return {};
}

struct Compiler {
    Clause clause;
    // Inside OR or NOT a condition no longer limits the rows the whole clause takes.
    bool conjunct = true;
    bool takesOpenOnly = false;
    bool takesDatedBefore = false;

    void visit(const TodoPredicate::Node &node) {
        std::visit([this](const auto &n) { add(n); }, node);
    }

    void add(const TodoPredicate::Constant &n) {
        clause.text += n.value ? QStringLiteral("1") : QStringLiteral("0");
    }
    void add(const TodoPredicate::Completed &n) {
        takesOpenOnly = takesOpenOnly || (conjunct && !n.value);
        clause.text += QStringLiteral("is_completed = ?");
        clause.values.append(qint64(n.value ? 1 : 0));
    }
    // The fallback only matters for absent dates, so it is resolved here rather than with
    // COALESCE, which would keep SQLite from using the date index.
    void add(const TodoPredicate::DateBefore &n) {
        const QString name = column(n.field);
        if (n.fallback < n.boundary) {
            clause.text += QStringLiteral("(%1 IS NULL OR %1 < ?)").arg(name);
        } else {
            clause.text += QStringLiteral("%1 < ?").arg(name);
            takesDatedBefore = takesDatedBefore ||
                               (conjunct && n.field == TodoPredicate::DateField::ScheduledDate);
        }
        clause.values.append(momentValue(n.boundary));
    }
    void add(const TodoPredicate::DateAtOrAfter &n) {
        const QString name = column(n.field);
        if (n.fallback >= n.boundary)
            clause.text += QStringLiteral("(%1 IS NULL OR %1 >= ?)").arg(name);
        else
            clause.text += QStringLiteral("%1 >= ?").arg(name);
        clause.values.append(momentValue(n.boundary));
    }
    void add(const TodoPredicate::DateAbsent &n) {
        clause.text += column(n.field) + QStringLiteral(" IS NULL");
    }
    void add(const TodoPredicate::TextEquals &n) {
        clause.text += column(n.field) + QStringLiteral(" = ?");
        clause.values.append(n.text);
    }
    void add(const TodoPredicate::TextContainsAny &n) {
        if (n.fields.isEmpty()) {
            clause.text += QStringLiteral("0");
            return;
        }
        QStringList columns;
        for (const auto field : n.fields)
            columns.append(column(field));
        clause.text += QStringLiteral("qb_contains_any(?, %1)").arg(columns.join(u", "));
        clause.values.append(n.text);
        clause.matchesText = true;
    }
    void add(const TodoPredicate::NotRecord &n) {
        clause.text += QStringLiteral("pk != ?");
        clause.values.append(n.storageKey);
    }
    void add(const TodoPredicate::IdEquals &n) {
        clause.text += QStringLiteral("id = ?");
        clause.values.append(n.id.toString(QUuid::WithoutBraces));
    }
    // Ids are stored in lower case. A range rather than LIKE, so the id index serves and no
    // character of the prefix needs escaping.
    void add(const TodoPredicate::IdPrefix &n) {
        clause.text += QStringLiteral("(id >= ? AND id < ?)");
        clause.values.append(n.prefix);
        clause.values.append(prefixEnd(n.prefix));
    }
    void add(const TodoPredicate::SubtaskIdPrefix &n) {
        clause.text += QStringLiteral("EXISTS (SELECT 1 FROM subtask WHERE subtask.parent_pk = "
                                      "todo_item.pk AND subtask.id >= ? AND subtask.id < ?)");
        clause.values.append(n.prefix);
        clause.values.append(prefixEnd(n.prefix));
    }
    // Sorts after every text that starts with `prefix` (U+10FFFF is the largest code point).
    static QString prefixEnd(const QString &prefix) {
        return prefix + QString::fromUcs4(U"\U0010FFFF");
    }
    void add(const TodoPredicate::Not &n) {
        const bool outer = std::exchange(conjunct, false);
        clause.text += QStringLiteral("NOT (");
        visit(*n.operand);
        clause.text += u')';
        conjunct = outer;
    }
    void add(const TodoPredicate::And &n) { binary(*n.left, QStringLiteral(" AND "), *n.right); }
    void add(const TodoPredicate::Or &n) {
        const bool outer = std::exchange(conjunct, false);
        binary(*n.left, QStringLiteral(" OR "), *n.right);
        conjunct = outer;
    }

    void binary(const TodoPredicate::Node &left, const QString &op,
                const TodoPredicate::Node &right) {
        clause.text += u'(';
        visit(left);
        clause.text += op;
        visit(right);
        clause.text += u')';
    }
};

} // namespace

Clause whereClause(const TodoPredicate &predicate) {
    Compiler compiler;
    compiler.visit(predicate.node());
    compiler.clause.readsOpenDateRange = compiler.takesOpenOnly && compiler.takesDatedBefore;
    return compiler.clause;
}

QString orderByClause(const QList<TodoSort> &sort, bool scanTable) {
    if (sort.isEmpty())
        return {};
    QStringList keys;
    // A unary plus leaves the value and its collation alone but stops the index from serving
    // the sort.
    const QString prefix = scanTable ? QStringLiteral("+") : QString();
    bool byCreation = false;
    for (const TodoSort &key : sort) {
        keys.append(prefix + column(key.field) +
                    (key.ascending ? QStringLiteral(" ASC") : QStringLiteral(" DESC")));
        byCreation = byCreation || key.field == TodoSort::Field::CreatedAt;
    }
    // A second key on the same column could never break a tie, but it would keep an index in
    // that order from serving the sort.
    if (!byCreation)
        keys.append(QStringLiteral("created_at ASC"));
    keys.append(QStringLiteral("pk ASC"));
    return QStringLiteral(" ORDER BY ") + keys.join(QStringLiteral(", "));
}

bool searchIndexServes(const QList<TodoSort> &sort) {
    return sort.size() == 2 && sort[0].field == TodoSort::Field::IsCompleted && sort[0].ascending &&
           sort[1].field == TodoSort::Field::CreatedAt && !sort[1].ascending;
}

Value momentValue(const QDateTime &moment) {
    if (!moment.isValid())
        return nullptr;
    return moment.toMSecsSinceEpoch();
}

QDateTime momentFrom(const Statement &statement, int column) {
    if (statement.isNull(column))
        return {};
    return QDateTime::fromMSecsSinceEpoch(statement.integer(column), Qt::UTC);
}

} // namespace qb::sql
