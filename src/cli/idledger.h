#pragma once

#include "model/todosnapshot.h"
#include "outcome.h"

#include <deque>
#include <optional>
#include <vector>

namespace qb {
class BulkInsert;
}

namespace qb::cli {

// Every id an import file gives, to find before anything is committed the first one that is
// given twice anywhere in the file, or that a subtask or change entry in the store already has
// (a to-do already stored is skipped instead). Two records with one id could never be told
// apart: a full id would name both. Twenty bytes an id.
class IdLedger {
public:
    // `imported`: the to-do is being inserted, so its members must be new to the store too.
    void add(const TodoSnapshot &todo, qsizetype index, bool imported);
    // The first duplicate in the order of the file, or a store error.
    std::optional<CliError> firstDuplicate(BulkInsert &insert);

private:
    struct Entry {
        QUuid id;
        quint32 ordinal; // the to-do's index, or the member's count among all of its kind
    };
    // The ids of one kind of record, with where each to-do's members start.
    struct Ids {
        std::deque<Entry> entries;
        std::vector<quint32> firstOfTodo;
        quint32 count = 0;
    };
    struct Place;
    struct Found;

    Place placeOf(int kind, quint32 ordinal) const;
    void findRepeats(int kind, std::optional<Found> &first);

    Ids m_ids[3]; // to-dos, subtasks, change entries
    std::vector<bool> m_imported;
};

} // namespace qb::cli
