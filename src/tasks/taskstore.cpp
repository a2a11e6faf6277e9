#include "tasks/taskstore.h"

#include "model/dayhelpers.h"
#include "model/stockqueries.h"
#include "store/modelcontext.h"
#include "widget/widgetsnapshotwriter.h"

#include <algorithm>

namespace qb {

namespace {

const QString titleSeparator = QStringLiteral(" → ");

QString titleForLog(const QString &title) {
    return title.isEmpty() ? QStringLiteral("Untitled") : title;
}

bool usable(const TodoItemPtr &item) {
    return item && item->isInContext();
}

} // namespace

TaskStore::TaskStore(ModelContext &context, const TaskEnvironment &environment)
    : m_context(context)
    , m_environment(environment) {}

// Shared steps -------------------------------------------------------------------------------

void TaskStore::save() {
    if (!m_context.save())
        return; // kept in the context; the next successful save writes it
    if (m_environment.widget)
        m_environment.widget->refresh(m_context);
}

void TaskStore::saveUnsavedChanges() {
    if (m_context.hasChanges())
        save();
}

ChangeEntryPtr TaskStore::log(ChangeKind kind, const TodoItemPtr &item, const QString &detail) {
    auto entry = std::make_shared<ChangeEntry>(kind, detail, m_environment.clock.now());
    m_context.insert(entry);
    item->addChange(entry);
    return entry;
}

QDateTime TaskStore::startOfToday() const {
    return m_environment.calendar.startOfDay(m_environment.clock.now());
}

QDateTime TaskStore::startOfTomorrow() const {
    return startOfNextDay(m_environment.clock.now(), m_environment.calendar);
}

TodoPredicate TaskStore::groupOf(const QDateTime &date) const {
    const QDateTime tomorrow = startOfTomorrow();
    if (!date.isValid())
        return stockqueries::undated();
    if (date < tomorrow)
        return stockqueries::dueBy(tomorrow, distantFuture());
    return stockqueries::from(tomorrow, distantPast());
}

double TaskStore::nextSortOrder(const QDateTime &date, const TodoItem *excluded) {
    const TodoPredicate group = groupOf(date);
    // Asked for the value alone, not the last row, so that the index answers it: a long
    // Later list costs a scan of index entries instead of a read of every row in it.
    auto largest = m_context.maximumSortOrder(group);
    // An item about to leave the group must not count itself; that matters only when it holds
    // the largest value, and then the index answers again with its row left out.
    if (excluded && largest && largest.value() && *largest.value() == excluded->sortOrder() &&
        !excluded->isCompleted() && groupIndex(excluded->scheduledDate()) == groupIndex(date))
        largest = m_context.maximumSortOrder(group && TodoPredicate::notRecord(*excluded));
    if (!largest || !largest.value())
        return 1.0;
    return *largest.value() + 1.0;
}

int TaskStore::groupIndex(const QDateTime &date) const {
    if (!date.isValid())
        return 0;
    return date < startOfTomorrow() ? 1 : 2;
}

double TaskStore::nextSubtaskSortOrder(const TodoItem &item) {
    const auto &subtasks = item.subtasks();
    if (subtasks.isEmpty())
        return 1.0;
    const auto largest = std::max_element(
        subtasks.begin(), subtasks.end(),
        [](const SubtaskPtr &a, const SubtaskPtr &b) { return a->sortOrder() < b->sortOrder(); });
    return (*largest)->sortOrder() + 1.0;
}

// To-dos -------------------------------------------------------------------------------------

TodoItemPtr TaskStore::add(const QString &title, TodoList list) {
    return add(title, list == TodoList::Today ? startOfToday() : QDateTime());
}

TodoItemPtr TaskStore::add(const QString &title, const QDateTime &scheduledDate) {
    const TodoList list = scheduledDate.isValid() ? TodoList::Today : TodoList::Later;
    auto item = std::make_shared<TodoItem>(title.trimmed(), list, scheduledDate,
                                           nextSortOrder(scheduledDate), m_environment.clock.now());
    m_context.insert(item);
    log(ChangeKind::Created, item);
    save();
    return item;
}

std::optional<EditUndo> TaskStore::setTitle(const TodoItemPtr &item, const QString &title) {
    const QString trimmed = title.trimmed();
    if (!usable(item) || trimmed == item->title())
        return std::nullopt;
    const QString previous = item->title();
    item->setTitle(trimmed);
    auto entry = log(ChangeKind::TitleEdited, item,
                     titleForLog(previous) + titleSeparator + titleForLog(trimmed));
    save();
    return TitleEdit{item, previous, entry};
}

std::optional<EditUndo> TaskStore::setNotes(const TodoItemPtr &item, const QString &notes) {
    if (!usable(item) || notes == item->notes())
        return std::nullopt;
    const QString previous = item->notes();
    item->setNotes(notes);
    auto entry = log(ChangeKind::NotesEdited, item);
    save();
    return NotesEdit{item, previous, entry};
}

std::optional<EditUndo> TaskStore::schedule(const TodoItemPtr &item, const QDateTime &date) {
    if (!usable(item))
        return std::nullopt;
    const QDateTime day = date.isValid() ? m_environment.calendar.startOfDay(date) : QDateTime();
    if (day == item->scheduledDate())
        return std::nullopt;
    const QDateTime previousDate = item->scheduledDate();
    const double previousSort = item->sortOrder();
    // The sort order is chosen before the date changes, so the item does not count itself.
    const double sortOrder = nextSortOrder(day);
    item->setScheduledDate(day);
    item->setSortOrder(sortOrder);
    auto entry = day.isValid()
                     ? log(ChangeKind::Scheduled, item,
                           dayLabel(day, m_environment.clock.now(), m_environment.calendar))
                     : log(ChangeKind::DateCleared, item);
    save();
    return ScheduleEdit{item, previousDate, previousSort, entry};
}

std::optional<EditUndo> TaskStore::move(const TodoItemPtr &item, TodoList list) {
    return schedule(item, list == TodoList::Today ? startOfToday() : QDateTime());
}

void TaskStore::setRepeat(const TodoItemPtr &item, const std::optional<RecurrenceRule> &rule) {
    if (!usable(item) || item->recurrenceRule() == rule)
        return;
    item->setRecurrenceRule(rule);
    if (!rule) {
        log(ChangeKind::RepeatCleared, item);
    } else {
        const QDateTime first = rule->nextDate(startOfToday(), true, m_environment.calendar);
        const double sortOrder = nextSortOrder(first);
        item->setScheduledDate(first);
        item->setSortOrder(sortOrder);
        log(ChangeKind::RepeatSet, item, description(rule, m_environment.calendar));
    }
    save();
}

QList<int> TaskStore::movedOrder(int count, const QList<int> &sources, int destination) {
    QList<int> moved;
    for (int index : sources) {
        if (index >= 0 && index < count && !moved.contains(index))
            moved.append(index);
    }
    std::sort(moved.begin(), moved.end());
    destination = std::clamp(destination, 0, count);
    QList<int> order;
    for (int i = 0; i < count; ++i) {
        if (!moved.contains(i))
            order.append(i);
    }
    const auto before =
        std::count_if(moved.begin(), moved.end(), [&](int index) { return index < destination; });
    const qsizetype insertAt = destination - before;
    for (qsizetype i = 0; i < moved.size(); ++i)
        order.insert(insertAt + i, moved[i]);
    return order;
}

void TaskStore::reorder(const QList<TodoItemPtr> &shown, const QList<int> &sources,
                        int destination) {
    const QList<int> order = movedOrder(int(shown.size()), sources, destination);
    for (qsizetype position = 0; position < order.size(); ++position) {
        const auto &item = shown[order[position]];
        if (usable(item))
            item->setSortOrder(double(position));
    }
    save();
}

// Subtasks -----------------------------------------------------------------------------------

SubtaskPtr TaskStore::attachSubtask(const TodoItemPtr &item, const QString &title,
                                    double sortOrder) {
    auto subtask = std::make_shared<Subtask>(title.trimmed(), sortOrder, m_environment.clock.now());
    m_context.insert(subtask);
    item->addSubtask(subtask);
    save();
    return subtask;
}

SubtaskPtr TaskStore::addSubtask(const TodoItemPtr &item, const QString &title) {
    if (!usable(item))
        return nullptr;
    return attachSubtask(item, title, nextSubtaskSortOrder(*item));
}

SubtaskPtr TaskStore::insertSubtask(const QString &title, const SubtaskPtr &after,
                                    const TodoItemPtr &item) {
    if (!usable(item))
        return nullptr;
    double sortOrder = nextSubtaskSortOrder(*item);
    if (after) {
        const auto ordered = item->orderedSubtasks();
        const auto found = std::find_if(ordered.begin(), ordered.end(), [&](const SubtaskPtr &s) {
            return s->id() == after->id();
        });
        if (found != ordered.end()) {
            const auto next = std::next(found);
            sortOrder = next != ordered.end() ? ((*found)->sortOrder() + (*next)->sortOrder()) * 0.5
                                              : (*found)->sortOrder() + 1.0;
        }
    }
    return attachSubtask(item, title, sortOrder);
}

void TaskStore::toggleSubtask(const SubtaskPtr &subtask) {
    if (!subtask || !subtask->isInContext())
        return;
    subtask->setCompleted(!subtask->isCompleted());
    save();
}

bool TaskStore::renameSubtask(const SubtaskPtr &subtask, const QString &title) {
    const QString trimmed = title.trimmed();
    if (!subtask || !subtask->isInContext() || trimmed.isEmpty() || trimmed == subtask->title())
        return false;
    subtask->setTitle(trimmed);
    save();
    return true;
}

void TaskStore::deleteSubtask(const SubtaskPtr &subtask) {
    if (!subtask || !subtask->isInContext())
        return;
    m_context.remove(subtask); // also leaves the owner's collection
    save();
}

void TaskStore::reorderSubtasks(const QList<SubtaskPtr> &ordered) {
    for (qsizetype position = 0; position < ordered.size(); ++position) {
        if (ordered[position] && ordered[position]->isInContext())
            ordered[position]->setSortOrder(double(position));
    }
    save();
}

// Completion and repetition ------------------------------------------------------------------

void TaskStore::toggleCompletion(const TodoItemPtr &item) {
    if (!usable(item))
        return;
    const bool completing = !item->isCompleted();
    // Everything the next instance needs is read before anything changes: with nothing
    // pending, the store answers the reads directly instead of replaying unsaved edits.
    std::optional<NextOccurrence> next;
    if (completing) {
        if (const auto rule = item->recurrenceRule())
            next = planNextOccurrence(*item, *rule);
    }
    item->setCompleted(completing);
    if (completing) {
        item->setCompletedAt(m_environment.clock.now());
        log(ChangeKind::Completed, item);
        if (next) {
            spawnNextOccurrence(*item, *next);
            item->setRecurrenceRule(std::nullopt);
        }
    } else {
        item->setCompletedAt(QDateTime());
        log(ChangeKind::Reopened, item);
    }
    save();
}

TaskStore::NextOccurrence TaskStore::planNextOccurrence(const TodoItem &item,
                                                        const RecurrenceRule &rule) {
    const QDateTime base = item.scheduledDate().isValid() ? item.scheduledDate() : startOfToday();
    NextOccurrence next;
    next.rule = rule;
    next.date = rule.nextDate(base, false, m_environment.calendar);
    // The completed item leaves its group, so it does not count.
    next.sortOrder = nextSortOrder(next.date, &item);
    next.subtasks = item.orderedSubtasks();
    return next;
}

void TaskStore::spawnNextOccurrence(const TodoItem &item, const NextOccurrence &next) {
    const QDateTime now = m_environment.clock.now();
    auto instance =
        std::make_shared<TodoItem>(item.title(), TodoList::Today, next.date, next.sortOrder, now);
    instance->setNotes(item.notes());
    instance->setRecurrenceRule(next.rule);
    m_context.insert(instance);
    for (const auto &subtask : next.subtasks) {
        auto copy = std::make_shared<Subtask>(subtask->title(), subtask->sortOrder(), now);
        m_context.insert(copy);
        instance->addSubtask(copy);
    }
    log(ChangeKind::Created, instance);
}

// Delete, restore, revert --------------------------------------------------------------------

std::optional<TodoSnapshot> TaskStore::remove(const TodoItemPtr &item) {
    if (!usable(item))
        return std::nullopt;
    TodoSnapshot snapshot = TodoSnapshot::of(*item);
    m_context.remove(item);
    save();
    return snapshot;
}

void TaskStore::restore(const TodoSnapshot &snapshot) {
    // Restoring twice, or after the to-do came back some other way, must not duplicate it.
    if (m_context.count(TodoPredicate::idEquals(snapshot.id)).valueOr(0) > 0)
        return;
    // Only Later survives a restore; any other list, known or not, comes back as Today.
    TodoSnapshot kept = snapshot;
    if (kept.listRaw != rawValue(TodoList::Later))
        kept.listRaw = rawValue(TodoList::Today);
    insertTodo(m_context, kept);
    save();
}

void TaskStore::revert(const EditUndo &edit) {
    const auto undo = [this](const TodoItemPtr &item, const ChangeEntryPtr &entry, auto apply) {
        if (!usable(item))
            return;
        apply();
        if (entry) {
            item->removeChange(*entry);
            m_context.remove(entry);
        }
        save();
    };
    std::visit(
        [&](const auto &e) {
            using Edit = std::decay_t<decltype(e)>;
            if constexpr (std::is_same_v<Edit, TitleEdit>) {
                undo(e.item, e.entry, [&] { e.item->setTitle(e.previous); });
            } else if constexpr (std::is_same_v<Edit, NotesEdit>) {
                undo(e.item, e.entry, [&] { e.item->setNotes(e.previous); });
            } else {
                undo(e.item, e.entry, [&] {
                    e.item->setScheduledDate(e.previousDate);
                    e.item->setSortOrder(e.previousSort);
                });
            }
        },
        edit);
}

} // namespace qb
