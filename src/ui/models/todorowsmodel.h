#pragma once

#include "diffinglistmodel.h"
#include "model/todoitem.h"

#include <QAbstractListModel>
#include <QList>
#include <QSet>

#include <qqmlregistration.h>

namespace qb {

struct TodoListRow {
    TodoItemPtr item;
    QString section;           // header title; empty when the list has no sections
    bool inDaySection = false; // a dated row of Later's day sections
};

// A list of to-dos for QML, each with an optional section title. Replacing the rows emits the
// smallest set of row removals, moves and inserts (by record identity) and a data change for
// rows whose section changed or whose to-do shows differently, never a reset, so selection,
// scrolling and delegates survive.
class TodoRowsModel : public DiffingListModel<TodoListRow> {
    Q_OBJECT
    QML_ANONYMOUS
    Q_PROPERTY(int count READ rowCountProperty NOTIFY countChanged)

public:
    enum Role { TodoRole = Qt::UserRole + 1, TodoIdRole, SectionRole, InDaySectionRole };

    using Row = TodoListRow;

    explicit TodoRowsModel(QObject *parent = nullptr);

    QVariant data(const QModelIndex &index, int role) const override;
    QHash<int, QByteArray> roleNames() const override;

    // `changed`: to-dos whose shown fields changed, reported as changes of their rows.
    void setRows(const QList<Row> &rows, const QSet<const TodoItem *> &changed = {});
    // True while setRows is emitting row changes; views may call back in then.
    bool isUpdatingRows() const { return m_updatingRows; }
    int rowCountProperty() const { return int(m_rows.size()); }

    // The row's to-do for QML actions; null outside the range.
    Q_INVOKABLE QObject *todoAt(int row) const;
    Q_INVOKABLE int indexOfId(const QString &id) const;

signals:
    void countChanged();

private:
    bool m_updatingRows = false;

protected:
    TodoItemPtr itemAt(int row) const;
};

// Exposes a record to QML without handing it over: its lifetime stays with the shared pointers.
QObject *exposeToQml(const std::shared_ptr<Record> &record);
// The shared to-do behind an object QML hands back; null for anything else.
TodoItemPtr sharedTodo(QObject *object);

} // namespace qb
