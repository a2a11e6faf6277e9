#include "model/search.h"

#include "model/dayhelpers.h"
#include "model/stockqueries.h"
#include "model/todoitem.h"

namespace qb::search {

QString trimmedQuery(const QString &query) {
    return query.trimmed();
}

TodoFetch fetch(const QString &query) {
    const QString trimmed = trimmedQuery(query);
    TodoFetch request;
    if (trimmed.isEmpty()) {
        request.predicate = TodoPredicate::none();
        return request;
    }
    request.predicate = stockqueries::searchMatch(trimmed);
    request.sort = {{TodoSort::Field::IsCompleted, true}, {TodoSort::Field::CreatedAt, false}};
    return request;
}

QString statusWord(const TodoItem &item, const QDateTime &now, const Calendar &calendar) {
    if (item.isCompleted())
        return QStringLiteral("Done");
    if (!item.scheduledDate().isValid())
        return QStringLiteral("Later");
    if (item.scheduledDate() < startOfNextDay(now, calendar))
        return QStringLiteral("Today");
    return dayLabel(item.scheduledDate(), now, calendar);
}

QString displayTitle(const QString &title) {
    return title.isEmpty() ? QStringLiteral("New To-Do") : title;
}

QList<TextMatcher::Range> highlightRanges(const QString &text, const QString &query,
                                          const QString &localeId) {
    if (text.isEmpty() || query.isEmpty())
        return {};
    return TextMatcher(query, localeId).ranges(text);
}

} // namespace qb::search
