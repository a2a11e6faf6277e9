#pragma once

#include "model/record.h"

#include <QDateTime>
#include <QUuid>

namespace qb {

class TodoItem;

// One checklist line of a to-do.
class Subtask : public Record {
    Q_OBJECT
    Q_PROPERTY(QUuid id READ id NOTIFY idChanged)
    Q_PROPERTY(QString title READ title WRITE setTitle NOTIFY titleChanged)
    Q_PROPERTY(bool isCompleted READ isCompleted WRITE setCompleted NOTIFY isCompletedChanged)
    Q_PROPERTY(double sortOrder READ sortOrder WRITE setSortOrder NOTIFY sortOrderChanged)
    Q_PROPERTY(QDateTime createdAt READ createdAt NOTIFY createdAtChanged)

public:
    Subtask(const QString &title, double sortOrder, const QDateTime &createdAt,
            const QUuid &id = QUuid::createUuid());

    QUuid id() const { return m_id; }
    void setId(const QUuid &id);
    QString title() const { return m_title; }
    void setTitle(const QString &title);
    bool isCompleted() const { return m_isCompleted; }
    void setCompleted(bool completed);
    double sortOrder() const { return m_sortOrder; }
    void setSortOrder(double sortOrder);
    QDateTime createdAt() const { return m_createdAt; }
    void setCreatedAt(const QDateTime &createdAt);

    // The owning to-do; empty once detached. Link through TodoItem::addSubtask.
    std::shared_ptr<TodoItem> parent() const { return m_parent.lock(); }

signals:
    void idChanged();
    void titleChanged();
    void isCompletedChanged();
    void sortOrderChanged();
    void createdAtChanged();
    void parentChanged();

private:
    friend class TodoItem;
    friend class RecordAccess;

    QUuid m_id;
    QString m_title;
    bool m_isCompleted = false;
    double m_sortOrder = 0;
    QDateTime m_createdAt;
    std::weak_ptr<TodoItem> m_parent;
    // The owner's row key, kept for when nothing holds the owner object any more.
    qint64 m_parentKey = 0;
};

using SubtaskPtr = std::shared_ptr<Subtask>;

} // namespace qb
