#include "model/changeentry.h"
#include "model/recordaccess.h"
#include "model/subtask.h"
#include "model/todoitem.h"

#include <algorithm>

namespace qb {

namespace {

QDateTime normalized(const QDateTime &moment) {
    return moment.isValid() ? moment.toUTC() : QDateTime();
}

} // namespace

// Subtask ------------------------------------------------------------------------------------

Subtask::Subtask(const QString &title, double sortOrder, const QDateTime &createdAt,
                 const QUuid &id)
    : m_id(id)
    , m_title(title)
    , m_sortOrder(sortOrder)
    , m_createdAt(normalized(createdAt)) {}

void Subtask::setId(const QUuid &id) {
    setField(m_id, id, &Subtask::idChanged);
}

void Subtask::setTitle(const QString &title) {
    setField(m_title, title, &Subtask::titleChanged);
}

void Subtask::setCompleted(bool completed) {
    setField(m_isCompleted, completed, &Subtask::isCompletedChanged);
}

void Subtask::setSortOrder(double sortOrder) {
    setField(m_sortOrder, sortOrder, &Subtask::sortOrderChanged);
}

void Subtask::setCreatedAt(const QDateTime &createdAt) {
    setField(m_createdAt, normalized(createdAt), &Subtask::createdAtChanged);
}

// ChangeEntry --------------------------------------------------------------------------------

ChangeEntry::ChangeEntry(ChangeKind kind, const QString &detail, const QDateTime &timestamp,
                         const QUuid &id)
    : m_id(id)
    , m_timestamp(normalized(timestamp))
    , m_kindRaw(rawValue(kind))
    , m_detail(detail) {}

void ChangeEntry::setId(const QUuid &id) {
    setField(m_id, id, &ChangeEntry::idChanged);
}

void ChangeEntry::setTimestamp(const QDateTime &timestamp) {
    setField(m_timestamp, normalized(timestamp), &ChangeEntry::timestampChanged);
}

void ChangeEntry::setKindRaw(const QString &kindRaw) {
    setNullableText(m_kindRaw, kindRaw, &ChangeEntry::kindRawChanged);
}

void ChangeEntry::setDetail(const QString &detail) {
    setNullableText(m_detail, detail, &ChangeEntry::detailChanged);
}

// TodoItem -----------------------------------------------------------------------------------

TodoItem::TodoItem(const QString &title, TodoList list, const QDateTime &scheduledDate,
                   double sortOrder, const QDateTime &createdAt, const QUuid &id)
    : m_id(id)
    , m_title(title)
    , m_notes(QStringLiteral(""))
    , m_scheduledDate(normalized(scheduledDate))
    , m_listRaw(rawValue(list))
    , m_sortOrder(sortOrder)
    , m_createdAt(normalized(createdAt))
    , m_changes(QList<ChangeEntryPtr>()) {}

std::shared_ptr<TodoItem> TodoItem::sharedSelf() {
    return std::static_pointer_cast<TodoItem>(shared_from_this());
}

void TodoItem::setId(const QUuid &id) {
    setField(m_id, id, &TodoItem::idChanged);
}

void TodoItem::setTitle(const QString &title) {
    setField(m_title, title, &TodoItem::titleChanged);
}

void TodoItem::setNotes(const QString &notes) {
    setField(m_notes, notes, &TodoItem::notesChanged);
}

void TodoItem::setCompleted(bool completed) {
    setField(m_isCompleted, completed, &TodoItem::isCompletedChanged);
}

void TodoItem::setCompletedAt(const QDateTime &completedAt) {
    setField(m_completedAt, normalized(completedAt), &TodoItem::completedAtChanged);
}

void TodoItem::setScheduledDate(const QDateTime &scheduledDate) {
    setField(m_scheduledDate, normalized(scheduledDate), &TodoItem::scheduledDateChanged);
}

void TodoItem::setListRaw(const QString &listRaw) {
    setNullableText(m_listRaw, listRaw, &TodoItem::listRawChanged);
}

void TodoItem::setSortOrder(double sortOrder) {
    setField(m_sortOrder, sortOrder, &TodoItem::sortOrderChanged);
}

void TodoItem::setCreatedAt(const QDateTime &createdAt) {
    setField(m_createdAt, normalized(createdAt), &TodoItem::createdAtChanged);
}

void TodoItem::setRecurrenceRuleRaw(const QString &raw) {
    setNullableText(m_recurrenceRuleRaw, raw, &TodoItem::recurrenceRuleRawChanged);
}

std::optional<RecurrenceRule> TodoItem::recurrenceRule() const {
    if (m_recurrenceRuleRaw.isNull())
        return std::nullopt;
    return RecurrenceRule::fromJson(m_recurrenceRuleRaw.toUtf8());
}

void TodoItem::setRecurrenceRule(const std::optional<RecurrenceRule> &rule) {
    setRecurrenceRuleRaw(rule ? QString::fromUtf8(rule->toJson()) : QString());
}

void TodoItem::ensureSubtasksLoaded() const {
    if (m_subtasksLoaded)
        return;
    auto *self = const_cast<TodoItem *>(this);
    self->m_subtasksLoaded = true;
    if (RecordContext *owner = context())
        owner->loadSubtasks(*self);
}

void TodoItem::ensureChangesLoaded() const {
    if (m_changesLoaded)
        return;
    auto *self = const_cast<TodoItem *>(this);
    self->m_changesLoaded = true;
    if (RecordContext *owner = context())
        owner->loadChanges(*self);
}

const QList<SubtaskPtr> &TodoItem::subtasks() const {
    static const QList<SubtaskPtr> none;
    ensureSubtasksLoaded();
    return m_subtasks ? *m_subtasks : none;
}

bool TodoItem::hasSubtaskCollection() const {
    ensureSubtasksLoaded();
    return m_subtasks.has_value();
}

const QList<ChangeEntryPtr> &TodoItem::changes() const {
    static const QList<ChangeEntryPtr> none;
    ensureChangesLoaded();
    return m_changes ? *m_changes : none;
}

void TodoItem::createSubtaskCollection() {
    ensureSubtasksLoaded();
    if (!m_subtasks) {
        m_subtasks.emplace();
        emit subtasksChanged();
    }
}

void TodoItem::addSubtask(const SubtaskPtr &subtask) {
    ensureSubtasksLoaded();
    if (auto previous = subtask->parent(); previous && previous.get() != this)
        previous->removeSubtask(*subtask);
    if (!m_subtasks)
        m_subtasks.emplace();
    if (m_subtasks->contains(subtask))
        return;
    m_subtasks->append(subtask);
    subtask->m_parent = sharedSelf();
    subtask->m_parentKey = storageKey();
    if (RecordContext *owner = context(); owner && !subtask->isInContext() && !subtask->isDeleted())
        owner->adoptRelated(subtask);
    subtask->didChange();
    emit subtask->parentChanged();
    emit subtasksChanged();
}

void TodoItem::removeSubtask(const Subtask &subtask) {
    ensureSubtasksLoaded();
    if (!m_subtasks)
        return;
    const auto removed =
        m_subtasks->removeIf([&](const SubtaskPtr &s) { return s.get() == &subtask; });
    if (removed > 0)
        emit subtasksChanged();
}

void TodoItem::addChange(const ChangeEntryPtr &entry) {
    ensureChangesLoaded();
    if (auto previous = entry->item(); previous && previous.get() != this)
        previous->removeChange(*entry);
    if (!m_changes)
        m_changes.emplace();
    if (m_changes->contains(entry))
        return;
    m_changes->append(entry);
    entry->m_item = sharedSelf();
    entry->m_itemKey = storageKey();
    if (RecordContext *owner = context(); owner && !entry->isInContext() && !entry->isDeleted())
        owner->adoptRelated(entry);
    entry->didChange();
    emit entry->itemChanged();
    emit changesChanged();
}

void TodoItem::removeChange(const ChangeEntry &entry) {
    ensureChangesLoaded();
    if (!m_changes)
        return;
    const auto removed =
        m_changes->removeIf([&](const ChangeEntryPtr &e) { return e.get() == &entry; });
    if (removed > 0)
        emit changesChanged();
}

QList<SubtaskPtr> TodoItem::orderedSubtasks() const {
    QList<SubtaskPtr> ordered = subtasks();
    std::stable_sort(ordered.begin(), ordered.end(), [](const SubtaskPtr &a, const SubtaskPtr &b) {
        return a->sortOrder() < b->sortOrder();
    });
    return ordered;
}

QList<ChangeEntryPtr> TodoItem::orderedChanges() const {
    QList<ChangeEntryPtr> ordered = changes();
    std::stable_sort(ordered.begin(), ordered.end(),
                     [](const ChangeEntryPtr &a, const ChangeEntryPtr &b) {
                         return a->timestamp() > b->timestamp();
                     });
    return ordered;
}

bool TodoItem::hasNotes() const {
    return !m_notes.trimmed().isEmpty();
}

bool TodoItem::hasSubtasks() const {
    return !subtasks().isEmpty();
}

std::pair<int, int> TodoItem::subtaskProgress() const {
    const auto &all = subtasks();
    const auto done =
        std::count_if(all.begin(), all.end(), [](const SubtaskPtr &s) { return s->isCompleted(); });
    return {static_cast<int>(done), static_cast<int>(all.size())};
}

// RecordAccess -------------------------------------------------------------------------------

void RecordAccess::setLoadedSubtasks(TodoItem &item, QList<SubtaskPtr> subtasks, bool notify) {
    const auto self = item.sharedSelf();
    for (const auto &subtask : subtasks) {
        subtask->m_parent = self;
        subtask->m_parentKey = item.storageKey();
    }
    const bool changed = !item.m_subtasks || *item.m_subtasks != subtasks;
    item.m_subtasks = std::move(subtasks);
    item.m_subtasksLoaded = true;
    if (notify && changed)
        emit item.subtasksChanged();
}

void RecordAccess::setLoadedChanges(TodoItem &item, QList<ChangeEntryPtr> changes, bool notify) {
    const auto self = item.sharedSelf();
    for (const auto &entry : changes) {
        entry->m_item = self;
        entry->m_itemKey = item.storageKey();
    }
    const bool changed = !item.m_changes || *item.m_changes != changes;
    item.m_changes = std::move(changes);
    item.m_changesLoaded = true;
    if (notify && changed)
        emit item.changesChanged();
}

} // namespace qb
