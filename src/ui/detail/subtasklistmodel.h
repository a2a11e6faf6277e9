#pragma once

#include "todocollectionmodel.h"

#include <QPointer>

#include <qqmlregistration.h>

#include "app/environment.h"

namespace qb {

class Environment;

// The subtasks a to-do shows, in display order: deleted ones that are not yet saved are left
// out, so row numbers in the list and in moves agree.
QList<SubtaskPtr> shownSubtasks(const TodoItem &item);

// A to-do's subtasks in display order (ascending sort order), following additions, removals,
// renumbering and outside changes with row-level updates.
class SubtaskListModel : public TodoCollectionModel<SubtaskPtr, SubtaskListModel> {
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(QObject *todo READ todo WRITE setTodo NOTIFY todoChanged)
    Q_PROPERTY(int count READ countProperty NOTIFY countChanged)

public:
    enum Role { SubtaskRole = Qt::UserRole + 1, SubtaskIdRole };

    explicit SubtaskListModel(QObject *parent = nullptr);

    QVariant data(const QModelIndex &index, int role) const override;
    QHash<int, QByteArray> roleNames() const override;

signals:
    void todoChanged();
    void countChanged();

private:
    friend TodoCollectionModel;
    static constexpr auto collectionChanged = &TodoItem::subtasksChanged;
    static constexpr auto rowMoved = &Subtask::sortOrderChanged;
    static QList<SubtaskPtr> shownRows(const TodoItem &item) { return shownSubtasks(item); }
};

// A to-do's change log, newest first, each entry with how long ago it was made (read again
// when the application becomes active).
class ChangeLogModel : public TodoCollectionModel<ChangeEntryPtr, ChangeLogModel> {
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(QObject *todo READ todo WRITE setTodo NOTIFY todoChanged)
    Q_PROPERTY(qb::Environment *environment READ environment WRITE setEnvironment NOTIFY
                   environmentChanged)
    Q_PROPERTY(int count READ countProperty NOTIFY countChanged)

public:
    enum Role { EntryRole = Qt::UserRole + 1, WhenRole };

    explicit ChangeLogModel(QObject *parent = nullptr);

    Environment *environment() const { return m_environment; }
    void setEnvironment(Environment *environment);

    QVariant data(const QModelIndex &index, int role) const override;
    QHash<int, QByteArray> roleNames() const override;

signals:
    void todoChanged();
    void environmentChanged();
    void countChanged();

private:
    friend TodoCollectionModel;
    void timesChanged();

    QPointer<Environment> m_environment;
    static constexpr auto collectionChanged = &TodoItem::changesChanged;
    static QList<ChangeEntryPtr> shownRows(const TodoItem &item) {
        return withoutDeleted(item.orderedChanges());
    }
};

} // namespace qb
