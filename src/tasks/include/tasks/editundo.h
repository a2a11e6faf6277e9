#pragma once

#include "model/changeentry.h"
#include "model/todoitem.h"

#include <QDateTime>
#include <QString>

#include <variant>

namespace qb {

// How to take back one logged edit of a to-do. Holds the live records (the to-do and the entry
// the edit logged), which stay valid objects even if they are deleted meanwhile.
struct TitleEdit {
    TodoItemPtr item;
    QString previous;
    ChangeEntryPtr entry;
};

struct NotesEdit {
    TodoItemPtr item;
    QString previous;
    ChangeEntryPtr entry;
};

struct ScheduleEdit {
    TodoItemPtr item;
    QDateTime previousDate; // invalid when the to-do had no date
    double previousSort = 0;
    ChangeEntryPtr entry;
};

using EditUndo = std::variant<TitleEdit, NotesEdit, ScheduleEdit>;

} // namespace qb
