#pragma once

#include "model/todolist.h"

#include <QObject>

#include <optional>

namespace qb {

// The list whose inline draft row is open in one main window; absent when none is adding.
class Composer : public QObject {
    Q_OBJECT
    // For QML: the list's raw value ("today", "later"), or "" when no list is adding.
    Q_PROPERTY(QString addingTo READ addingToRaw WRITE setAddingToRaw NOTIFY addingToChanged)

public:
    explicit Composer(QObject *parent = nullptr);

    std::optional<TodoList> addingTo() const { return m_addingTo; }
    void setAddingTo(std::optional<TodoList> list);

    QString addingToRaw() const;
    // An unknown raw value closes the draft row, like "".
    void setAddingToRaw(const QString &raw);

signals:
    void addingToChanged();

private:
    std::optional<TodoList> m_addingTo;
};

} // namespace qb
