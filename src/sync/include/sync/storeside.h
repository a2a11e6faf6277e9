#pragma once

#include "model/calendar.h"
#include "model/clock.h"
#include "model/todoitem.h"
#include "store/syncledger.h"
#include "sync/vtodo.h"

#include <QByteArray>
#include <QString>
#include <QTimeZone>
#include <QUuid>

namespace qb {
class ModelContext;
}

namespace qb::sync {

// A calendar object as fetched from the server, already read.
struct RemoteObject {
    QString path;
    QString etag;
    QByteArray data;
    VTodo todo;
};

// What to do with the server for one queued record.
struct PushPlan {
    enum class Action { Nothing, Put, Delete };
    Action action = Action::Nothing;
    PendingChange change;
    QString uid;
    QString path;
    QString etag; // the version the write needs; empty to create only
    QByteArray body;
};

// The store's side of a sync: reads and writes records and the ledger through one context,
// synchronously. Remote objects are merged into the records here, and each queued record is
// turned into the request that brings the server up to date. Nothing here touches the network.
class StoreSide {
public:
    StoreSide(ModelContext &context, const QString &collectionPath, const Calendar &calendar,
              const Clock &clock);

    // Merges one object. A subtask whose to-do is not here yet is left for later when
    // `orphansWait` (its to-do may come in a later batch), else it becomes a to-do.
    enum class Merge { Applied, Skipped, Waiting };
    Merge merge(const RemoteObject &object, bool orphansWait);
    // The object at `path` is gone from the server. A record edited here since comes back
    // (an edit beats a deletion); otherwise it is deleted here too.
    void removeAt(const QString &path);
    // Writes the merged records and the ledger in one transaction, and drops what this context
    // holds so the next read sees other writers' changes.
    Status commit();

    // What to send for a queued record; a record that needs nothing is settled at once.
    Result<PushPlan> plan(const PendingChange &change);
    // The server accepted a Put (with its new entity tag, possibly empty) or a Delete.
    void accepted(const PushPlan &plan, const QString &etag);
    // The server no longer has the object a Put or Delete named: the record's next plan
    // creates it again.
    void forgetResource(const QUuid &recordId);

    QString collectionPath() const { return m_collectionPath; }
    SyncLedger &ledger() { return m_ledger; }

    // Identity: a UID that is a UUID is the record's id; any other UID maps to a name-based
    // UUID, the same on every device. Our own records get their id as UID.
    static QUuid idForUid(const QString &uid);
    static QString uidFor(const QUuid &id);

private:
    TodoItemPtr todo(const QUuid &id);
    SubtaskPtr subtask(const QUuid &id, const QUuid &parentId);
    // Creates the record the object describes; false when a subtask must wait for its to-do.
    bool create(const QUuid &id, const RemoteObject &object, bool orphansWait);
    QString pathFor(const QString &uid) const;

    ModelContext &m_context;
    SyncLedger m_ledger;
    QString m_collectionPath;
    Calendar m_calendar;
    QTimeZone m_zone;
    Clock m_clock;
};

} // namespace qb::sync
