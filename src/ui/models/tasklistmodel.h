#pragma once

#include "model/todolist.h"
#include "todorowsmodel.h"

#include <QPointer>

#include <memory>

#include "tasks/undocenter.h"

namespace qb {

class LiveQuery;
class UndoCenter;
struct TaskServices;

// The rows of the Today or Later list for the environment's day. Today: open to-dos due before
// the next day, overdue ones included. Later: dated to-dos in one section per
// day, then the undated ones under "Later" (no headers at all when nothing is dated).
// Also the list's actions, each one TaskStore call.
class TaskListModel : public TodoRowsModel {
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(
        qb::UndoCenter *undoCenter READ undoCenter WRITE setUndoCenter NOTIFY dependenciesChanged)
    Q_PROPERTY(QString list READ listRaw WRITE setListRaw NOTIFY listChanged)
    // Rows of `items` (Today's rows, or Later's undated rows), the ones that can be dragged.
    Q_PROPERTY(int mainCount READ mainCount NOTIFY rowsRebuilt)
    Q_PROPERTY(int datedCount READ datedCount NOTIFY rowsRebuilt)
    Q_PROPERTY(bool hasDaySections READ hasDaySections NOTIFY rowsRebuilt)

public:
    explicit TaskListModel(QObject *parent = nullptr);
    ~TaskListModel() override;

    UndoCenter *undoCenter() const { return m_undoCenter; }
    void setUndoCenter(UndoCenter *undoCenter);
    QString listRaw() const { return rawValue(m_list); }
    void setListRaw(const QString &raw);
    TodoList list() const { return m_list; }

    int mainCount() const;
    int datedCount() const;
    bool hasDaySections() const { return datedCount() > 0 && m_list == TodoList::Later; }

    // Adds a to-do to this list (the draft row's commit); a blank title adds nothing.
    Q_INVOKABLE void add(const QString &title);
    // Leading swipe on a main row: to the other list, with no undo offer.
    Q_INVOKABLE void moveToOtherList(QObject *todo);
    // Leading swipe on a day-section row: today, with an undo offer.
    Q_INVOKABLE void scheduleForToday(QObject *todo);
    // Drag among the main rows: the row at `from` lands before the one that stood at `to`.
    Q_INVOKABLE void moveMainRow(int from, int to);

signals:
    void listChanged();
    void rowsRebuilt();

protected:
    void rebuild() override;

private:
    void rebuildRows();
    TaskServices services() const;

    QPointer<UndoCenter> m_undoCenter;
    TodoList m_list = TodoList::Today;
    std::unique_ptr<LiveQuery> m_items;
    std::unique_ptr<LiveQuery> m_datedItems;
    QMetaObject::Connection m_contextChanged;
    bool m_stale = false;
    QSet<const TodoItem *> m_changed;
};

} // namespace qb
