#include "todojson.h"

#include "model/changekind.h"
#include "model/recurrencerule.h"
#include "model/search.h"
#include "model/subtask.h"
#include "moments.h"

#include <algorithm>

namespace qb::cli {

namespace {

Json momentOrNull(const QDateTime &moment, const Calendar &calendar) {
    return moment.isValid() ? Json(formatMoment(moment, calendar)) : Json();
}

} // namespace

QString idText(const QUuid &id) {
    return QString::fromLatin1(id.toByteArray(QUuid::WithoutBraces).toUpper());
}

TodoSnapshot::SubtaskSnapshot subtaskSnapshot(const Subtask &subtask) {
    return {subtask.id(), subtask.title(), subtask.isCompleted(), subtask.sortOrder(),
            subtask.createdAt()};
}

QList<TodoSnapshot::SubtaskSnapshot> displayOrder(QList<TodoSnapshot::SubtaskSnapshot> subtasks) {
    std::stable_sort(subtasks.begin(), subtasks.end(),
                     [](const auto &a, const auto &b) { return a.sortOrder < b.sortOrder; });
    return subtasks;
}

QList<TodoSnapshot::ChangeSnapshot> newestFirst(QList<TodoSnapshot::ChangeSnapshot> changes) {
    std::stable_sort(changes.begin(), changes.end(),
                     [](const auto &a, const auto &b) { return a.timestamp > b.timestamp; });
    return changes;
}

Json todoJson(const TodoSnapshot &todo, Relations relations, const Calendar &calendar) {
    const auto rule = todo.recurrenceRuleRaw.isNull()
                          ? std::nullopt
                          : RecurrenceRule::fromJson(todo.recurrenceRuleRaw.toUtf8());
    const auto done = std::count_if(todo.subtasks.begin(), todo.subtasks.end(),
                                    [](const auto &subtask) { return subtask.isCompleted; });
    Json json = Json::object();
    json.set(QStringLiteral("id"), idText(todo.id))
        .set(QStringLiteral("title"), todo.title)
        .set(QStringLiteral("displayTitle"), search::displayTitle(todo.title))
        .set(QStringLiteral("notes"), todo.notes)
        .set(QStringLiteral("isCompleted"), todo.isCompleted)
        .set(QStringLiteral("completedAt"), momentOrNull(todo.completedAt, calendar))
        .set(QStringLiteral("scheduledDate"), momentOrNull(todo.scheduledDate, calendar))
        .set(QStringLiteral("listRaw"), todo.listRaw)
        .set(QStringLiteral("sortOrder"), todo.sortOrder)
        .set(QStringLiteral("createdAt"), momentOrNull(todo.createdAt, calendar))
        .set(QStringLiteral("recurrenceRuleRaw"), Json::textOrNull(todo.recurrenceRuleRaw))
        .set(QStringLiteral("repeat"), rule ? Json(description(rule, calendar)) : Json())
        .set(QStringLiteral("hasNotes"), !todo.notes.trimmed().isEmpty())
        .set(QStringLiteral("subtaskProgress"),
             Json::array({Json(qint64(done)), Json(qint64(todo.subtasks.size()))}));
    if (relations == Relations::None)
        return json;

    auto subtasks = displayOrder(todo.subtasks);
    if (relations == Relations::ExportOrder) {
        std::stable_sort(subtasks.begin(), subtasks.end(), [](const auto &a, const auto &b) {
            return a.sortOrder != b.sortOrder ? a.sortOrder < b.sortOrder
                                              : a.createdAt < b.createdAt;
        });
    }
    Json subtaskList = Json::array();
    for (const auto &subtask : subtasks)
        subtaskList.append(subtaskJson(subtask, calendar));
    Json changeList = Json::array();
    for (const auto &change : newestFirst(todo.changes))
        changeList.append(changeJson(change, calendar));
    json.set(QStringLiteral("subtasks"), std::move(subtaskList));
    json.set(QStringLiteral("changes"), std::move(changeList));
    return json;
}

Json subtaskJson(const TodoSnapshot::SubtaskSnapshot &subtask, const Calendar &calendar) {
    Json json = Json::object();
    json.set(QStringLiteral("id"), idText(subtask.id))
        .set(QStringLiteral("title"), subtask.title)
        .set(QStringLiteral("isCompleted"), subtask.isCompleted)
        .set(QStringLiteral("sortOrder"), subtask.sortOrder)
        .set(QStringLiteral("createdAt"), momentOrNull(subtask.createdAt, calendar));
    return json;
}

Json changeJson(const TodoSnapshot::ChangeSnapshot &change, const Calendar &calendar) {
    Json json = Json::object();
    json.set(QStringLiteral("id"), idText(change.id))
        .set(QStringLiteral("kindRaw"), change.kindRaw)
        .set(QStringLiteral("kindTitle"), title(changeKindFromRaw(change.kindRaw)))
        .set(QStringLiteral("detail"), Json::textOrNull(change.detail))
        .set(QStringLiteral("timestamp"), momentOrNull(change.timestamp, calendar));
    return json;
}

} // namespace qb::cli
