#pragma once

#include "model/todopredicate.h"
#include "todorowsmodel.h"

#include <memory>

namespace qb {

class LiveQuery;

// Completed to-dos, newest completion first, in one section per day of completion. Years of
// completed to-dos are loaded a page at a time as the view scrolls; the rows loaded so far
// stay live. Each row also carries the time of day it was completed.
class DoneModel : public TodoRowsModel {
    Q_OBJECT
    QML_ELEMENT

public:
    enum Role { CompletedTimeRole = OverdueRole + 1 };

    explicit DoneModel(QObject *parent = nullptr);
    ~DoneModel() override;

    QVariant data(const QModelIndex &index, int role) const override;
    QHash<int, QByteArray> roleNames() const override;

    static constexpr int pageSize = 200;

    bool canFetchMore(const QModelIndex &parent) const override;
    void fetchMore(const QModelIndex &parent) override;

    // The row's circle: reopens the to-do, which then leaves this list.
    Q_INVOKABLE void reopen(QObject *todo);

protected:
    void rebuild() override;

private:
    void rebuildRows(const QSet<const TodoItem *> &changed = {});
    TodoFetch fetchFor(int rows) const;

    std::unique_ptr<LiveQuery> m_items;
    int m_wanted = pageSize; // rows asked for; one more tells whether another page exists
};

} // namespace qb
