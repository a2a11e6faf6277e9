#pragma once

#include "rowdiff.h"

#include <QAbstractListModel>
#include <QList>

#include <type_traits>

namespace qb {

// A list model whose rows are replaced by diffing: the smallest set of row removals, moves and
// inserts (rows matched by `key`, which must be hashable), never a reset, so views keep their
// delegates, selection and scroll position.
template <typename Row> class DiffingListModel : public QAbstractListModel {
public:
    using QAbstractListModel::QAbstractListModel;

    int rowCount(const QModelIndex &parent = {}) const override {
        return parent.isValid() ? 0 : int(m_rows.size());
    }
    const QList<Row> &rows() const { return m_rows; }

protected:
    template <typename KeyOf> void applyRows(const QList<Row> &target, KeyOf keyOf) {
        using RowKey = std::decay_t<std::invoke_result_t<KeyOf, const Row &>>;
        QList<RowKey> current;
        for (const Row &row : std::as_const(m_rows))
            current.append(keyOf(row));
        QList<RowKey> wanted;
        for (const Row &row : target)
            wanted.append(keyOf(row));
        RowDiff<RowKey> diff;
        diff.remove = [this](int first, int last) {
            beginRemoveRows({}, first, last);
            m_rows.remove(first, last - first + 1);
            endRemoveRows();
        };
        diff.move = [this](int from, int to) {
            // Qt wants the index before which the row lands, counted before the move.
            beginMoveRows({}, from, from, {}, to > from ? to + 1 : to);
            m_rows.move(from, to);
            endMoveRows();
        };
        diff.insert = [&](int at, qsizetype source) {
            beginInsertRows({}, at, at);
            m_rows.insert(at, target[source]);
            endInsertRows();
        };
        diff.apply(current, wanted);
    }

    QList<Row> m_rows;
};

} // namespace qb
