#include "sync/storeside.h"

#include "store/modelcontext.h"
#include "sync/fieldmerge.h"
#include "sync/localrecords.h"

namespace qb::sync {

namespace {

// Name-based ids for UIDs that are not UUIDs (RFC 4122 version 5 in a namespace of ours).
const QUuid uidNamespace = QUuid::fromString(QLatin1String("6f1c2a7e-52d4-4c2b-9a4e-3b8f0d6e1c55"));

bool isSafeFileName(const QString &uid) {
    if (uid.isEmpty() || uid.size() > 200)
        return false;
    return std::all_of(uid.begin(), uid.end(), [](QChar c) {
        return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') ||
               c == u'-' || c == u'_' || c == u'.';
    });
}

} // namespace

StoreSide::StoreSide(ModelContext &context, const QString &collectionPath, const Calendar &calendar,
                     const Clock &clock)
    : m_context(context)
    , m_ledger(context)
    , m_collectionPath(collectionPath.endsWith(u'/') ? collectionPath : collectionPath + u'/')
    , m_calendar(calendar)
    , m_zone(calendar.timeZoneId().toUtf8())
    , m_clock(clock) {}

QUuid StoreSide::idForUid(const QString &uid) {
    const QUuid direct = QUuid::fromString(uid);
    return direct.isNull() ? QUuid::createUuidV5(uidNamespace, uid) : direct;
}

QString StoreSide::uidFor(const QUuid &id) {
    return id.toString(QUuid::WithoutBraces).toUpper();
}

QString StoreSide::pathFor(const QString &uid) const {
    const QString name = isSafeFileName(uid) ? uid : uidFor(idForUid(uid));
    return m_collectionPath + name + QStringLiteral(".ics");
}

TodoItemPtr StoreSide::todo(const QUuid &id) {
    TodoFetch request;
    request.predicate = TodoPredicate::idEquals(id);
    request.limit = 1;
    const auto found = m_context.fetch(request).valueOr({});
    return found.isEmpty() ? nullptr : found.first();
}

SubtaskPtr StoreSide::subtask(const QUuid &id, const QUuid &parentId) {
    const auto parent = todo(parentId);
    if (!parent)
        return nullptr;
    for (const auto &subtask : parent->subtasks()) {
        if (subtask->id() == id)
            return subtask;
    }
    return nullptr;
}

Status StoreSide::commit() {
    return m_ledger.commit();
}

bool StoreSide::create(const QUuid &id, const RemoteObject &object, bool orphansWait) {
    const ItemFields &fields = object.todo.fields;
    const QDateTime created = object.todo.modified.isValid() ? object.todo.modified : m_clock.now();
    if (!object.todo.parentUid.isEmpty()) {
        const QUuid parentId = idForUid(object.todo.parentUid);
        if (const auto parent = todo(parentId)) {
            insertSubtask(m_context, parent, id, fields, created);
            return true;
        }
        if (orphansWait)
            return false;
        // Its to-do is not on the server: shown as a to-do of its own rather than lost.
    }
    insertTodo(m_context, id, fields, m_calendar, created);
    return true;
}

StoreSide::Merge StoreSide::merge(const RemoteObject &object, bool orphansWait) {
    m_context.checkForRemoteChanges();
    const auto known = m_ledger.resourceAt(object.path);
    if (!known)
        return Merge::Skipped;
    const QUuid id = known.value() ? known.value()->recordId : idForUid(object.todo.uid);
    if (!known.value()) {
        // One UID in two resources: the one we know stays the record's.
        const auto elsewhere = m_ledger.resource(id);
        if (elsewhere && elsewhere.value() && elsewhere.value()->href != object.path)
            return Merge::Skipped;
    }
    const auto location = m_ledger.locate(id);
    const auto pending = m_ledger.pendingChange(id);
    if (!location || !pending)
        return Merge::Skipped;
    const SyncedResource resource{id, object.todo.uid, object.path, object.etag, object.data};

    if (location.value().kind == RecordLocation::Kind::Missing) {
        // Deleted here and not yet sent: the deletion stands unless the server's copy changed
        // since (an edit beats a deletion).
        if (pending.value() && known.value() && known.value()->etag == object.etag)
            return Merge::Skipped;
        if (!create(id, object, orphansWait))
            return Merge::Waiting;
        m_ledger.record(resource);
        m_ledger.unqueue(id);
        return Merge::Applied;
    }

    const bool isSubtask = location.value().kind == RecordLocation::Kind::Subtask;
    const ItemKind kind = isSubtask ? ItemKind::Subtask : ItemKind::Todo;
    const TodoItemPtr item = isSubtask ? nullptr : todo(id);
    const SubtaskPtr step = isSubtask ? subtask(id, location.value().parentId) : nullptr;
    if (!item && !step)
        return Merge::Skipped;
    const ItemFields local = item ? fieldsOf(*item, m_calendar) : fieldsOf(*step);

    ItemFields merged = object.todo.fields;
    if (pending.value()) {
        std::optional<ItemFields> base;
        if (known.value()) {
            if (auto read = readVTodo(known.value()->base, m_zone))
                base = read.value().fields;
        }
        merged = mergeFields(kind, base, {local, pending.value()->changedAt},
                             {object.todo.fields, object.todo.modified});
    }
    if (item)
        applyFields(m_context, *item, merged, m_calendar);
    else
        applyFields(*step, merged);
    m_ledger.record(resource);
    m_ledger.unqueue(id);
    // The server lacks part of the merge: it goes back with the next push.
    if (!sameSynced(kind, merged, object.todo.fields))
        m_ledger.enqueue(id, pending.value() ? pending.value()->changedAt : m_clock.now());
    return Merge::Applied;
}

void StoreSide::removeAt(const QString &path) {
    m_context.checkForRemoteChanges();
    const auto known = m_ledger.resourceAt(path);
    if (!known || !known.value())
        return;
    const QUuid id = known.value()->recordId;
    const auto location = m_ledger.locate(id);
    const auto pending = m_ledger.pendingChange(id);
    if (!location || !pending)
        return;
    m_ledger.forget(id);
    if (location.value().kind != RecordLocation::Kind::Missing && pending.value())
        return; // edited here: the next push puts it back
    m_ledger.unqueue(id);
    if (location.value().kind == RecordLocation::Kind::Todo) {
        if (const auto item = todo(id))
            m_context.remove(item);
    } else if (location.value().kind == RecordLocation::Kind::Subtask) {
        if (const auto step = subtask(id, location.value().parentId))
            m_context.remove(step);
    }
}

Result<PushPlan> StoreSide::plan(const PendingChange &change) {
    m_context.checkForRemoteChanges();
    PushPlan plan;
    plan.change = change;
    const auto location = m_ledger.locate(change.recordId);
    const auto known = m_ledger.resource(change.recordId);
    if (!location)
        return StoreError{location.message()};
    if (!known)
        return StoreError{known.message()};
    const std::optional<SyncedResource> &resource = known.value();
    plan.uid = resource ? resource->uid : uidFor(change.recordId);
    plan.path = resource ? resource->href : pathFor(plan.uid);
    plan.etag = resource ? resource->etag : QString();

    if (location.value().kind == RecordLocation::Kind::Missing) {
        if (resource) {
            plan.action = PushPlan::Action::Delete;
        } else {
            m_ledger.settle(change); // never reached the server
        }
        return plan;
    }

    WriteOptions options;
    options.uid = plan.uid;
    options.now = m_clock.now();
    options.modified = change.changedAt;
    options.localZone = m_zone;
    ItemFields fields;
    if (location.value().kind == RecordLocation::Kind::Subtask) {
        const auto step = subtask(change.recordId, location.value().parentId);
        if (!step)
            return plan;
        fields = fieldsOf(*step);
        options.kind = ItemKind::Subtask;
        const auto parentResource = m_ledger.resource(location.value().parentId);
        options.parentUid = parentResource && parentResource.value()
                                ? parentResource.value()->uid
                                : uidFor(location.value().parentId);
    } else {
        const auto item = todo(change.recordId);
        if (!item)
            return plan;
        fields = fieldsOf(*item, m_calendar);
    }
    const QByteArray original = resource ? resource->base : QByteArray();
    plan.body = writeVTodo(original, fields, options);
    if (resource && plan.body == original)
        m_ledger.settle(change); // the server already holds exactly this
    else
        plan.action = PushPlan::Action::Put;
    return plan;
}

void StoreSide::accepted(const PushPlan &plan, const QString &etag) {
    if (plan.action == PushPlan::Action::Put)
        m_ledger.record({plan.change.recordId, plan.uid, plan.path, etag, plan.body});
    else if (plan.action == PushPlan::Action::Delete)
        m_ledger.forget(plan.change.recordId);
    m_ledger.settle(plan.change);
}

void StoreSide::forgetResource(const QUuid &recordId) {
    m_ledger.forget(recordId);
}

} // namespace qb::sync
