#include "sync/localrecords.h"

#include "store/modelcontext.h"
#include "sync/recurrencemapping.h"
#include "tasks/todosnapshot.h"

#include <QSet>

namespace qb::sync {

namespace {

// Notes travel with LF line ends only.
QString plainLineEnds(const QString &text) {
    QString result = text;
    result.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    result.replace(u'\r', u'\n');
    return result;
}

std::optional<QDate> dayOf(const QDateTime &scheduled, const Calendar &calendar) {
    if (!scheduled.isValid())
        return std::nullopt;
    return QDate(calendar.year(scheduled), calendar.month(scheduled), calendar.day(scheduled));
}

QDateTime startOf(const std::optional<QDate> &day, const Calendar &calendar) {
    if (!day)
        return {};
    return calendar.dateFrom(day->year(), day->month(), day->day()).value_or(QDateTime());
}

QList<LogEntry> logOf(const TodoItem &item) {
    QList<LogEntry> log;
    for (const auto &entry : item.changes())
        log.append({entry->id(), entry->kindRaw(), entry->detail(), entry->timestamp()});
    std::stable_sort(log.begin(), log.end(), [](const LogEntry &a, const LogEntry &b) {
        return a.timestamp < b.timestamp;
    });
    return log;
}

void applyLog(ModelContext &context, TodoItem &item, const QList<LogEntry> &log) {
    QSet<QUuid> wanted;
    for (const LogEntry &entry : log)
        wanted.insert(entry.id);
    QSet<QUuid> present;
    const QList<ChangeEntryPtr> current = item.changes();
    for (const auto &entry : current) {
        present.insert(entry->id());
        if (!wanted.contains(entry->id()))
            context.remove(entry);
    }
    for (const LogEntry &saved : log) {
        if (present.contains(saved.id))
            continue;
        auto entry = std::make_shared<ChangeEntry>(ChangeKind::Created, saved.detail,
                                                   saved.timestamp, saved.id);
        entry->setKindRaw(saved.kindRaw);
        context.insert(entry);
        item.addChange(entry);
    }
}

} // namespace

ItemFields fieldsOf(const TodoItem &item, const Calendar &calendar) {
    ItemFields fields;
    fields.title = item.title();
    fields.notes = plainLineEnds(item.notes());
    fields.day = dayOf(item.scheduledDate(), calendar);
    fields.completed = item.isCompleted();
    if (fields.completed)
        fields.completedAt = wholeSeconds(item.completedAt());
    fields.ruleRaw = canonicalRule(item.recurrenceRuleRaw());
    fields.sortOrder = orderPrecision(item.sortOrder());
    fields.createdAt = wholeSeconds(item.createdAt());
    fields.log = logOf(item);
    return fields;
}

ItemFields fieldsOf(const Subtask &subtask) {
    ItemFields fields;
    fields.title = subtask.title();
    fields.completed = subtask.isCompleted();
    fields.sortOrder = orderPrecision(subtask.sortOrder());
    fields.createdAt = wholeSeconds(subtask.createdAt());
    fields.hasLog = false;
    return fields;
}

void applyFields(ModelContext &context, TodoItem &item, const ItemFields &fields,
                 const Calendar &calendar) {
    const ItemFields current = fieldsOf(item, calendar);
    if (current.title != fields.title)
        item.setTitle(fields.title);
    if (current.notes != fields.notes)
        item.setNotes(fields.notes);
    if (current.day != fields.day)
        item.setScheduledDate(startOf(fields.day, calendar));
    if (current.completed != fields.completed || current.completedAt != fields.completedAt) {
        item.setCompleted(fields.completed);
        item.setCompletedAt(fields.completed ? fields.completedAt : QDateTime());
    }
    if (current.ruleRaw != fields.ruleRaw)
        item.setRecurrenceRuleRaw(fields.ruleRaw);
    if (current.sortOrder != fields.sortOrder)
        item.setSortOrder(fields.sortOrder);
    if (fields.hasLog && current.log != fields.log)
        applyLog(context, item, fields.log);
}

void applyFields(Subtask &subtask, const ItemFields &fields) {
    if (subtask.title() != fields.title)
        subtask.setTitle(fields.title);
    if (subtask.isCompleted() != fields.completed)
        subtask.setCompleted(fields.completed);
    if (orderPrecision(subtask.sortOrder()) != fields.sortOrder)
        subtask.setSortOrder(fields.sortOrder);
}

TodoItemPtr insertTodo(ModelContext &context, const QUuid &id, const ItemFields &fields,
                       const Calendar &calendar, const QDateTime &fallbackCreated) {
    TodoSnapshot snapshot;
    snapshot.id = id;
    snapshot.title = fields.title;
    snapshot.notes = fields.notes;
    snapshot.isCompleted = fields.completed;
    snapshot.completedAt = fields.completed ? fields.completedAt : QDateTime();
    snapshot.scheduledDate = startOf(fields.day, calendar);
    snapshot.recurrenceRuleRaw = fields.ruleRaw;
    snapshot.listRaw = rawValue(fields.day ? TodoList::Today : TodoList::Later);
    snapshot.sortOrder = fields.sortOrder;
    snapshot.createdAt = fields.createdAt.isValid() ? fields.createdAt : fallbackCreated;
    snapshot.changes = fields.log;
    return qb::insertTodo(context, snapshot);
}

SubtaskPtr insertSubtask(ModelContext &context, const TodoItemPtr &parent, const QUuid &id,
                         const ItemFields &fields, const QDateTime &fallbackCreated) {
    auto subtask = std::make_shared<Subtask>(
        fields.title, fields.sortOrder,
        fields.createdAt.isValid() ? fields.createdAt : fallbackCreated, id);
    subtask->setCompleted(fields.completed);
    context.insert(subtask);
    parent->addSubtask(subtask);
    return subtask;
}

} // namespace qb::sync
