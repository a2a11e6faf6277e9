#include "idledger.h"

#include "exportreader.h"
#include "store/bulktransfer.h"
#include "todojson.h"

#include <algorithm>
#include <cstring>
#include <tuple>

namespace qb::cli {

namespace {

enum Kind { Todos, Subtasks, Changes };

bool idLess(const QUuid &a, const QUuid &b) {
    return std::tie(a.data1, a.data2, a.data3) < std::tie(b.data1, b.data2, b.data3) ||
           (std::tie(a.data1, a.data2, a.data3) == std::tie(b.data1, b.data2, b.data3) &&
            std::memcmp(a.data4, b.data4, sizeof a.data4) < 0);
}

} // namespace

// A place in the file, ordered as the file reads: a to-do's own id, then its subtasks, then
// its change entries.
struct IdLedger::Place {
    quint32 todo = 0;
    int kind = Todos;
    quint32 member = 0;

    friend bool operator<(const Place &a, const Place &b) {
        return std::tie(a.todo, a.kind, a.member) < std::tie(b.todo, b.kind, b.member);
    }
    QString text() const {
        const QString owner = todoPlace(todo);
        if (kind == Todos)
            return owner;
        return QStringLiteral("%1.%2[%3]")
            .arg(owner, kind == Subtasks ? QStringLiteral("subtasks") : QStringLiteral("changes"))
            .arg(member);
    }
};

struct IdLedger::Found {
    Place place;
    QUuid id;
    std::optional<Place> earlier; // none: the store has it
};

void IdLedger::add(const TodoSnapshot &todo, qsizetype index, bool imported) {
    const auto ordinal = quint32(index);
    m_imported.push_back(imported);
    m_ids[Todos].entries.push_back({todo.id, ordinal});
    const auto addMembers = [](Ids &ids, const auto &members) {
        ids.firstOfTodo.push_back(ids.count);
        for (const auto &member : members)
            ids.entries.push_back({member.id, ids.count++});
    };
    addMembers(m_ids[Subtasks], todo.subtasks);
    addMembers(m_ids[Changes], todo.changes);
}

IdLedger::Place IdLedger::placeOf(int kind, quint32 ordinal) const {
    if (kind == Todos)
        return {ordinal, Todos, 0};
    const auto &starts = m_ids[kind].firstOfTodo;
    // The last to-do whose members start at or before the ordinal; to-dos without members
    // start where the next one does, so the last of equal starts is the owner.
    const auto owner = std::upper_bound(starts.begin(), starts.end(), ordinal) - 1;
    return {quint32(owner - starts.begin()), kind, ordinal - *owner};
}

void IdLedger::findRepeats(int kind, std::optional<Found> &first) {
    auto &entries = m_ids[kind].entries;
    std::sort(entries.begin(), entries.end(), [](const Entry &a, const Entry &b) {
        return idLess(a.id, b.id) || (a.id == b.id && a.ordinal < b.ordinal);
    });
    for (std::size_t i = 1; i < entries.size(); ++i) {
        if (entries[i].id != entries[i - 1].id)
            continue;
        const Place place = placeOf(kind, entries[i].ordinal);
        if (!first || place < first->place) {
            // The group's first entry is where the id was given first.
            std::size_t start = i - 1;
            while (start > 0 && entries[start - 1].id == entries[i].id)
                --start;
            first = Found{place, entries[i].id, placeOf(kind, entries[start].ordinal)};
        }
    }
}

std::optional<CliError> IdLedger::firstDuplicate(BulkInsert &insert) {
    std::optional<Found> first;
    for (int kind : {Todos, Subtasks, Changes})
        findRepeats(kind, first);
    for (int kind : {Subtasks, Changes}) {
        const auto &entries = m_ids[kind].entries;
        const Status scanned = insert.forEachEarlierId(
            kind == Subtasks ? BulkInsert::Members::Subtasks : BulkInsert::Members::Changes,
            [&](const QUuid &stored) {
                const auto [from, to] = std::equal_range(
                    entries.begin(), entries.end(), Entry{stored, 0},
                    [](const Entry &a, const Entry &b) { return idLess(a.id, b.id); });
                for (auto entry = from; entry != to; ++entry) {
                    const Place place = placeOf(kind, entry->ordinal);
                    if (!m_imported[place.todo])
                        continue;
                    if (!first || place < first->place)
                        first = Found{place, stored, std::nullopt};
                    break; // the rest of the group comes later in the file
                }
            });
        if (!scanned)
            return CliError::store(QStringLiteral("cannot read the store: ") + scanned.message());
    }
    if (!first)
        return std::nullopt;
    const QString where = first->place.text() + QStringLiteral(".id: ") + idText(first->id);
    const QString kindName = first->place.kind == Subtasks  ? QStringLiteral("subtask")
                             : first->place.kind == Changes ? QStringLiteral("change entry")
                                                            : QStringLiteral("to-do");
    if (first->earlier)
        return CliError::badInput(
            QStringLiteral("cannot import: %1 is given twice (first at %2); ids must be unique")
                .arg(where, first->earlier->text()));
    return CliError::badInput(
        QStringLiteral("cannot import: %1 is already the id of a %2 in the store")
            .arg(where, kindName));
}

} // namespace qb::cli
