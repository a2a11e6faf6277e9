#include "humantext.h"

#include "model/calendar.h"
#include "model/changekind.h"
#include "model/dayhelpers.h"
#include "model/recurrencerule.h"
#include "model/search.h"
#include "todojson.h"

namespace qb::cli {

QString visible(const QString &text, bool keepLineBreaks) {
    QString shown = text;
    for (QChar &c : shown) {
        const char16_t u = c.unicode();
        if (keepLineBreaks && u == u'\n')
            continue;
        if (u < 0x20 || (u >= 0x7f && u < 0xa0))
            c = QChar(0xfffd);
    }
    return shown;
}

QString todoLine(const TodoSnapshot &todo, const QString &label) {
    return QStringLiteral("%1  [%2] %3  (%4)")
        .arg(idText(todo.id).left(8), todo.isCompleted ? QStringLiteral("x") : QStringLiteral(" "),
             visible(search::displayTitle(todo.title)), visible(label));
}

QString scheduledLabel(const TodoSnapshot &todo, const QDateTime &now, const Calendar &calendar) {
    return dayLabel(todo.scheduledDate, now, calendar);
}

QString subtaskLine(const TodoSnapshot::SubtaskSnapshot &subtask) {
    return QStringLiteral("%1  [%2] %3")
        .arg(idText(subtask.id).left(8),
             subtask.isCompleted ? QStringLiteral("x") : QStringLiteral(" "),
             visible(subtask.title));
}

QString showText(const TodoSnapshot &todo, const QDateTime &now, const Calendar &calendar) {
    QString text = todoLine(todo, scheduledLabel(todo, now, calendar)) + u'\n';
    text += QStringLiteral("id: %1\n").arg(idText(todo.id));
    // A stored rule that does not decode is no rule, as everywhere else.
    if (!todo.recurrenceRuleRaw.isNull()) {
        if (const auto rule = RecurrenceRule::fromJson(todo.recurrenceRuleRaw.toUtf8()))
            text += QStringLiteral("repeats: %1\n").arg(description(rule, calendar));
    }
    if (!todo.notes.trimmed().isEmpty())
        text += QStringLiteral("notes:\n%1\n").arg(visible(todo.notes, true));
    if (!todo.subtasks.isEmpty()) {
        text += QStringLiteral("subtasks:\n");
        for (const auto &subtask : displayOrder(todo.subtasks))
            text += QStringLiteral("  ") + subtaskLine(subtask) + u'\n';
    }
    text += QStringLiteral("log:\n");
    for (const auto &change : newestFirst(todo.changes)) {
        text += QStringLiteral("  %1  %2")
                    .arg(calendar.format(change.timestamp, QStringLiteral("yMMMdjm")),
                         title(changeKindFromRaw(change.kindRaw)));
        if (!change.detail.isNull())
            text += QStringLiteral(": ") + visible(change.detail);
        text += u'\n';
    }
    return text;
}

} // namespace qb::cli
