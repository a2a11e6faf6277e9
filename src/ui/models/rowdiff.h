#pragma once

#include <QList>

#include <algorithm>
#include <functional>
#include <unordered_map>
#include <unordered_set>

namespace qb {

// The row operations that turn one list into another: removals first (from the bottom), then
// moves and inserts. The rows that keep their relative order form the longest such run and
// stay put; every other row moves once, so dragging one row anywhere is one move. Rows are
// compared by identity, so a changed field is not a row change.
template <typename Row> struct RowDiff {
    std::function<void(int first, int last)> remove;
    std::function<void(int from, int to)> move; // `to` is the index the row ends up at
    // `source` is the row's index in the target list.
    std::function<void(int at, qsizetype source)> insert;

    void apply(QList<Row> &current, const QList<Row> &target) const {
        std::unordered_map<Row, qsizetype> place;
        place.reserve(std::size_t(target.size()));
        for (qsizetype i = 0; i < target.size(); ++i)
            place.emplace(target[i], i);
        for (qsizetype i = current.size() - 1; i >= 0; --i) {
            if (!place.contains(current[i])) {
                remove(int(i), int(i));
                current.removeAt(i);
            }
        }

        // Nothing left to keep: every row is an insert at its own place. Without this a fresh
        // list of n rows would search the growing list twice per row, O(n²) in all.
        if (current.isEmpty()) {
            for (qsizetype i = 0; i < target.size(); ++i) {
                insert(int(i), i);
                current.append(target[i]);
            }
            return;
        }

        const std::unordered_set<Row> staying = longestOrderedRun(current, place);
        for (qsizetype i = 0; i < target.size(); ++i) {
            const Row &row = target[i];
            if (staying.contains(row))
                continue;
            // Rows placed so far are in target order, so the row belongs right after the row
            // that precedes it in the target.
            const qsizetype at = i == 0 ? 0 : current.indexOf(target[i - 1]) + 1;
            const qsizetype found = current.indexOf(row);
            if (found < 0) {
                insert(int(at), i);
                current.insert(at, row);
            } else {
                const qsizetype to = found < at ? at - 1 : at;
                if (to != found) {
                    move(int(found), int(to));
                    current.move(found, to);
                }
            }
        }
    }

private:
    // The rows of `current` whose target places increase, as many as possible.
    static std::unordered_set<Row>
    longestOrderedRun(const QList<Row> &current, const std::unordered_map<Row, qsizetype> &place) {
        const qsizetype count = current.size();
        QList<qsizetype> tails; // index into current of the smallest tail per length
        QList<qsizetype> previous(count, -1);
        for (qsizetype i = 0; i < count; ++i) {
            const qsizetype value = place.at(current[i]);
            const auto slot = std::lower_bound(tails.begin(), tails.end(), value,
                                               [&](qsizetype index, qsizetype wanted) {
                                                   return place.at(current[index]) < wanted;
                                               });
            if (slot != tails.begin())
                previous[i] = *(slot - 1);
            if (slot == tails.end())
                tails.append(i);
            else
                *slot = i;
        }
        std::unordered_set<Row> run;
        for (qsizetype i = tails.isEmpty() ? -1 : tails.last(); i >= 0; i = previous[i])
            run.insert(current[i]);
        return run;
    }
};

} // namespace qb
