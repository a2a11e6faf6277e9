#pragma once

#include "model/changeentry.h"
#include "model/subtask.h"
#include "model/todoitem.h"

namespace qb {

// The store's back door into records: it attaches records to a context and fills fields read
// from disk without reporting them as edits. Not for application code.
class RecordAccess {
public:
    static void attach(Record &record, RecordContext *context, qint64 storageKey) {
        record.m_context = context;
        record.m_storageKey = storageKey;
    }
    static void detach(Record &record) { record.m_context = nullptr; }
    static void markDeleted(Record &record, bool deleted) {
        if (record.m_deleted == deleted)
            return;
        record.m_deleted = deleted;
        emit record.contextStateChanged();
    }

    // Relations of a record read from the store are loaded on first use.
    static void markRelationsUnloaded(TodoItem &item) {
        item.m_subtasksLoaded = false;
        item.m_changesLoaded = false;
    }
    static bool subtasksLoaded(const TodoItem &item) { return item.m_subtasksLoaded; }
    static bool changesLoaded(const TodoItem &item) { return item.m_changesLoaded; }
    // `notify` is false for the first load: to a reader the collection was always there.
    static void setLoadedSubtasks(TodoItem &item, QList<SubtaskPtr> subtasks, bool notify);
    static void setLoadedChanges(TodoItem &item, QList<ChangeEntryPtr> changes, bool notify);
    static void forgetParent(Subtask &subtask) { subtask.m_parent.reset(); }
    // The row key of the child's owner: from the owner object while it lives (remembered for
    // later), else the one remembered when it was linked, loaded or last written.
    static qint64 ownerKey(Subtask &subtask) {
        if (const auto parent = subtask.m_parent.lock())
            subtask.m_parentKey = parent->storageKey();
        return subtask.m_parentKey;
    }
    static qint64 ownerKey(ChangeEntry &entry) {
        if (const auto item = entry.m_item.lock())
            entry.m_itemKey = item->storageKey();
        return entry.m_itemKey;
    }
    static void forgetItem(ChangeEntry &entry) { entry.m_item.reset(); }

    // Runs a batch of field assignments without reporting them to the context.
    template <typename Function> static void silently(Record &record, Function &&function) {
        const bool wasSuspended = record.m_trackingSuspended;
        record.m_trackingSuspended = true;
        function();
        record.m_trackingSuspended = wasSuspended;
    }
};

} // namespace qb
