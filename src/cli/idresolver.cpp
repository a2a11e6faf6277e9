#include "idresolver.h"

#include "store/modelcontext.h"

#include <QRegularExpression>

namespace qb::cli {

namespace {

constexpr int shortestPrefix = 4;

// Only the characters of an id can start one; anything else names nothing.
std::optional<CliError> checkName(const QString &name, const QString &what) {
    static const QRegularExpression idCharacters(QStringLiteral("^[0-9A-Fa-f-]*$"));
    if (name.size() < shortestPrefix)
        return CliError::badInput(
            QStringLiteral("\"%1\" is too short: give at least %2 characters of the %3's id")
                .arg(name)
                .arg(shortestPrefix)
                .arg(what));
    if (!idCharacters.match(name).hasMatch() || name.size() > 36)
        return CliError::badInput(QStringLiteral("no %1 has the id \"%2\"").arg(what, name));
    return std::nullopt;
}

CliError noMatch(const QString &what, const QString &name) {
    return CliError::badInput(
        QStringLiteral("no %1 has an id starting with \"%2\"").arg(what, name));
}

CliError ambiguous(const QString &what, const QString &name) {
    return CliError::badInput(
        QStringLiteral("\"%1\" is ambiguous: several %2s have ids starting with it; give more "
                       "characters")
            .arg(name, what));
}

} // namespace

Outcome<TodoItemPtr> resolveTodo(ModelContext &context, const QString &name) {
    const QString what = QStringLiteral("to-do");
    if (auto error = checkName(name, what))
        return *error;
    TodoFetch request;
    request.predicate = TodoPredicate::idPrefix(name);
    request.limit = 2;
    const auto found = context.fetch(request);
    if (!found)
        return CliError::store(QStringLiteral("cannot read the store: ") + found.message());
    if (found.value().isEmpty())
        return noMatch(what, name);
    if (found.value().size() > 1)
        return ambiguous(what, name);
    return found.value().first();
}

Outcome<ResolvedSubtask> resolveSubtask(ModelContext &context, const QString &name) {
    const QString what = QStringLiteral("subtask");
    if (auto error = checkName(name, what))
        return *error;
    TodoFetch request;
    request.predicate = TodoPredicate::hasSubtaskWithIdPrefix(name);
    const auto owners = context.fetch(request);
    if (!owners)
        return CliError::store(QStringLiteral("cannot read the store: ") + owners.message());
    const QString prefix = name.toLower();
    QList<ResolvedSubtask> matches;
    for (const auto &owner : owners.value()) {
        for (const auto &subtask : owner->subtasks()) {
            if (subtask->id().toString(QUuid::WithoutBraces).startsWith(prefix))
                matches.append({owner, subtask});
        }
    }
    if (matches.isEmpty())
        return noMatch(what, name);
    if (matches.size() > 1)
        return ambiguous(what, name);
    return matches.first();
}

} // namespace qb::cli
