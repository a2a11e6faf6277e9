#pragma once

#include <QList>
#include <QString>
#include <QUuid>

namespace qb {

// What a summary of a list shows of a to-do.
struct TodoHeadline {
    QUuid id;
    QString title;
    // The notes hold more than white space.
    bool hasNotes = false;

    friend bool operator==(const TodoHeadline &, const TodoHeadline &) = default;
};

// The first to-dos of a list and how many the whole list holds.
struct TodoHeadlines {
    int totalCount = 0;
    QList<TodoHeadline> items;
};

} // namespace qb
