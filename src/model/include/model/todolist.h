#pragma once

#include "base/enumcases.h"

namespace qb {

// The two open lists. Membership is decided by scheduledDate alone; the raw string only records
// the list given when a to-do was created.
enum class TodoList { Today, Later };

template <> struct EnumTable<TodoList> {
    static constexpr std::array<EnumCase<TodoList>, 2> cases{{
        {TodoList::Today, u"today", u"Today"},
        {TodoList::Later, u"later", u"Later"},
    }};
};

inline constexpr auto allTodoLists = allCases<TodoList>();

inline std::optional<TodoList> todoListFromRaw(QStringView raw) {
    return caseFromRaw<TodoList>(raw);
}

} // namespace qb
