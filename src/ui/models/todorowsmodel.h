#pragma once

#include "diffinglistmodel.h"
#include "model/todoitem.h"

#include <QAbstractListModel>
#include <QList>
#include <QPointer>
#include <QSet>

#include <qqmlregistration.h>

#include "app/environment.h"
#include "store/modelcontext.h"

namespace qb {

class Environment;
class ModelContext;

struct TodoListRow {
    TodoItemPtr item;
    QString section;           // header title; empty when the list has no sections
    bool inDaySection = false; // a dated row of Later's day sections
};

// A list of to-dos over the main context, for QML, each with an optional section title and
// its title and overdue mark as the window shows them. Replacing the rows emits the smallest
// set of row removals, moves and inserts (by record identity) and a data change for rows whose
// section changed or whose to-do shows differently, never a reset, so selection, scrolling and
// delegates survive. A new day rebuilds the rows and re-reads every overdue mark.
class TodoRowsModel : public DiffingListModel<TodoListRow> {
    Q_OBJECT
    QML_ANONYMOUS
    Q_PROPERTY(qb::ModelContext *context READ context WRITE setContext NOTIFY dependenciesChanged)
    Q_PROPERTY(qb::Environment *environment READ environment WRITE setEnvironment NOTIFY
                   dependenciesChanged)
    Q_PROPERTY(int count READ rowCountProperty NOTIFY countChanged)

public:
    enum Role {
        TodoRole = Qt::UserRole + 1,
        TodoIdRole,
        SectionRole,
        InDaySectionRole,
        TitleRole,
        OverdueRole
    };

    using Row = TodoListRow;

    explicit TodoRowsModel(QObject *parent = nullptr);

    ModelContext *context() const { return m_context; }
    void setContext(ModelContext *context);
    Environment *environment() const { return m_environment; }
    void setEnvironment(Environment *environment);

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
    void dependenciesChanged();
    void countChanged();

protected:
    // Builds the rows anew: the dependencies or the day changed.
    virtual void rebuild() {}
    bool ready() const { return m_context && m_environment; }
    TodoItemPtr itemAt(int row) const;

private:
    void dayChanged();

    QPointer<ModelContext> m_context;
    QPointer<Environment> m_environment;
    bool m_updatingRows = false;
};

// Exposes a record to QML without handing it over: its lifetime stays with the shared pointers.
QObject *exposeToQml(const std::shared_ptr<Record> &record);
// The shared to-do behind an object QML hands back; null for anything else.
TodoItemPtr sharedTodo(QObject *object);

} // namespace qb
