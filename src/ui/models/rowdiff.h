#pragma once

#include <QList>

#include <functional>
#include <unordered_set>

namespace qb {

// The row operations that turn one list into another: removals first (from the bottom), then,
// walking the target from the top, a move for a row that exists further down and an insert for
// a new one. Rows are compared by identity, so a changed field is not a row change.
template <typename Row> struct RowDiff {
    std::function<void(int first, int last)> remove;
    std::function<void(int from, int to)> move; // `to` is the index the row ends up at
    std::function<void(int at, const Row &row)> insert;

    void apply(QList<Row> &current, const QList<Row> &target) const {
        const std::unordered_set<Row> wanted(target.begin(), target.end());
        for (qsizetype i = current.size() - 1; i >= 0; --i) {
            if (!wanted.contains(current[i])) {
                remove(int(i), int(i));
                current.removeAt(i);
            }
        }
        for (qsizetype i = 0; i < target.size(); ++i) {
            if (i < current.size() && current[i] == target[i])
                continue;
            const qsizetype found = current.indexOf(target[i], i);
            if (found >= 0) {
                move(int(found), int(i));
                current.move(found, i);
            } else {
                insert(int(i), target[i]);
                current.insert(i, target[i]);
            }
        }
    }
};

} // namespace qb
