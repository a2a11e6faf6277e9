#pragma once

#include <QString>

#include <array>
#include <optional>

namespace qb {

// The two open lists. Membership is decided by scheduledDate alone; the raw string only records
// the list given when a to-do was created.
enum class TodoList { Today, Later };

inline constexpr std::array<TodoList, 2> allTodoLists{TodoList::Today, TodoList::Later};

inline QString rawValue(TodoList list) {
    return list == TodoList::Today ? QStringLiteral("today") : QStringLiteral("later");
}

inline std::optional<TodoList> todoListFromRaw(const QString &raw) {
    if (raw == u"today")
        return TodoList::Today;
    if (raw == u"later")
        return TodoList::Later;
    return std::nullopt;
}

} // namespace qb
