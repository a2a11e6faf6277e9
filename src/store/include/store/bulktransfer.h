#pragma once

#include "model/todosnapshot.h"
#include "store/status.h"

#include <functional>
#include <memory>

namespace qb {

class ModelContext;

// Whole to-dos in and out of the store as plain values, for import and export. Rows go straight
// between the file and snapshots, never through records or the context's identity map, so a
// million to-dos take the memory of one. The context must have no unsaved changes.

// Every stored to-do, in creation order (equal moments by id), with its change log and
// subtasks in stored order. Stops early, successfully, when `visit` returns false.
Status readEveryTodo(ModelContext &context, const std::function<bool(TodoSnapshot &&)> &visit);

// One transaction of inserted to-dos, each written as its snapshot says: ids, sort orders,
// change logs and raw strings verbatim, change entries then subtasks in the snapshot's order.
// Other connections see nothing before commit(); destroying it uncommitted rolls everything
// back. Meanwhile the context is for nothing else.
class BulkInsert {
public:
    enum class Members { Subtasks, Changes };

    // Takes the store's write lock, as a save does.
    static Result<std::unique_ptr<BulkInsert>> begin(ModelContext &context);
    ~BulkInsert();
    BulkInsert(const BulkInsert &) = delete;
    BulkInsert &operator=(const BulkInsert &) = delete;

    // Whether a to-do with this id is stored, before or by this insert.
    Result<bool> hasTodo(const QUuid &id);
    Status insert(const TodoSnapshot &todo);
    // The id of every subtask or change entry that was stored before this insert began.
    Status forEachEarlierId(Members members, const std::function<void(const QUuid &)> &visit);
    // Tells the context's observers, as a save does.
    Status commit();

private:
    BulkInsert(ModelContext &context, qint64 firstKey);
    qint64 nextKey() { return m_nextKey++; }

    ModelContext &m_context;
    // Rows get consecutive keys from a range that held none, which also tells them apart from
    // every earlier row.
    qint64 m_firstKey;
    qint64 m_nextKey;
    bool m_open = true;
};

} // namespace qb
