#include "commands.h"
#include "json.h"
#include "moments.h"
#include "session.h"
#include "store/modelcontext.h"
#include "tasks/todosnapshot.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>

namespace qb::cli {

namespace {

constexpr int formatVersion = 1;

// Reads the stored fields of an export and says exactly where a file breaks the format.
// Derived fields (displayTitle, repeat, hasNotes, subtaskProgress, kindTitle) are ignored.
class ExportReader {
public:
    explicit ExportReader(const Calendar &calendar)
        : m_moments(calendar) {}

    Outcome<QList<TodoSnapshot>> read(const QByteArray &bytes) {
        QJsonParseError parseError;
        const QJsonDocument document = QJsonDocument::fromJson(bytes, &parseError);
        if (parseError.error != QJsonParseError::NoError)
            return fail(QStringLiteral("not JSON (%1 at byte %2)")
                            .arg(parseError.errorString())
                            .arg(parseError.offset));
        const QJsonObject root = document.object();
        if (!document.isObject() || root.value(QStringLiteral("formatVersion")) != formatVersion)
            return fail(QStringLiteral("not an export of format version %1").arg(formatVersion));
        const QJsonValue todos = root.value(QStringLiteral("todos"));
        if (!todos.isArray())
            return fail(QStringLiteral("\"todos\" must be an array"));
        QList<TodoSnapshot> result;
        const QJsonArray array = todos.toArray();
        for (qsizetype i = 0; i < array.size(); ++i) {
            m_where = QStringLiteral("todos[%1]").arg(i);
            result.append(todo(array[i]));
            if (m_error)
                return *m_error;
        }
        return result;
    }

private:
    CliError fail(const QString &message) {
        return CliError::badInput(QStringLiteral("cannot import: ") + message);
    }
    void problem(const QString &field, const QString &expected) {
        if (!m_error)
            m_error = fail(QStringLiteral("%1.%2: expected %3").arg(m_where, field, expected));
    }

    QString text(const QJsonObject &o, const QString &key) {
        const QJsonValue v = o.value(key);
        if (!v.isString())
            problem(key, QStringLiteral("a string"));
        return v.toString();
    }
    QString textOrNull(const QJsonObject &o, const QString &key) {
        const QJsonValue v = o.value(key);
        if (v.isNull())
            return {};
        return text(o, key);
    }
    bool boolean(const QJsonObject &o, const QString &key) {
        const QJsonValue v = o.value(key);
        if (!v.isBool())
            problem(key, QStringLiteral("true or false"));
        return v.toBool();
    }
    double number(const QJsonObject &o, const QString &key) {
        const QJsonValue v = o.value(key);
        if (!v.isDouble())
            problem(key, QStringLiteral("a number"));
        return v.toDouble();
    }
    QUuid id(const QJsonObject &o) {
        const QUuid value = QUuid::fromString(text(o, QStringLiteral("id")));
        if (value.isNull())
            problem(QStringLiteral("id"), QStringLiteral("a UUID"));
        return value;
    }
    QDateTime moment(const QJsonObject &o, const QString &key, bool optional) {
        const QJsonValue v = o.value(key);
        if (optional && v.isNull())
            return {};
        const auto parsed = m_moments.read(v.toString().toUtf8());
        if (!v.isString() || parsed.problem)
            problem(key, (optional ? QStringLiteral("a date-time or null")
                                   : QStringLiteral("a date-time")) +
                             QStringLiteral(" in the years ") + yearRangeText());
        return parsed.moment;
    }
    QJsonArray list(const QJsonObject &o, const QString &key) {
        const QJsonValue v = o.value(key);
        if (!v.isArray())
            problem(key, QStringLiteral("an array"));
        return v.toArray();
    }
    QJsonObject object(const QJsonValue &v) {
        if (!v.isObject() && !m_error)
            m_error = fail(m_where + QStringLiteral(": expected an object"));
        return v.toObject();
    }

    TodoSnapshot todo(const QJsonValue &value) {
        const QJsonObject o = object(value);
        TodoSnapshot s;
        s.id = id(o);
        s.title = text(o, QStringLiteral("title"));
        s.notes = text(o, QStringLiteral("notes"));
        s.isCompleted = boolean(o, QStringLiteral("isCompleted"));
        s.completedAt = moment(o, QStringLiteral("completedAt"), true);
        s.scheduledDate = moment(o, QStringLiteral("scheduledDate"), true);
        s.listRaw = text(o, QStringLiteral("listRaw"));
        s.sortOrder = number(o, QStringLiteral("sortOrder"));
        s.createdAt = moment(o, QStringLiteral("createdAt"), false);
        s.recurrenceRuleRaw = textOrNull(o, QStringLiteral("recurrenceRuleRaw"));
        const QString owner = m_where;
        const QJsonArray subtasks = list(o, QStringLiteral("subtasks"));
        for (qsizetype i = 0; i < subtasks.size() && !m_error; ++i) {
            m_where = QStringLiteral("%1.subtasks[%2]").arg(owner).arg(i);
            const QJsonObject so = object(subtasks[i]);
            s.subtasks.append({id(so), text(so, QStringLiteral("title")),
                               boolean(so, QStringLiteral("isCompleted")),
                               number(so, QStringLiteral("sortOrder")),
                               moment(so, QStringLiteral("createdAt"), false)});
        }
        m_where = owner;
        const QJsonArray changes = list(o, QStringLiteral("changes"));
        for (qsizetype i = 0; i < changes.size() && !m_error; ++i) {
            m_where = QStringLiteral("%1.changes[%2]").arg(owner).arg(i);
            const QJsonObject co = object(changes[i]);
            s.changes.append({id(co), text(co, QStringLiteral("kindRaw")),
                              textOrNull(co, QStringLiteral("detail")),
                              moment(co, QStringLiteral("timestamp"), false)});
        }
        return s;
    }

    MomentReader m_moments;
    QString m_where;
    std::optional<CliError> m_error;
};

} // namespace

Reply importCommand(const Request &request) {
    auto args = operands(request.args, 1, 1, QStringLiteral("import FILE"));
    if (!args)
        return args.error();
    QByteArray bytes;
    if (args->first() == u"-") {
        auto input = request.readStandardInput();
        if (!input)
            return input.error();
        bytes = input->toUtf8();
    } else {
        QFile file(args->first());
        if (!file.open(QIODevice::ReadOnly))
            return CliError::badInput(
                QStringLiteral("cannot read %1: %2").arg(args->first(), file.errorString()));
        bytes = file.readAll();
    }
    Session &session = *request.session;
    auto todos = ExportReader(session.calendar()).read(bytes);
    if (!todos)
        return todos.error();

    // Every check reads the store before anything is inserted, so no read has to see
    // pending inserts.
    ModelContext &context = session.context();
    QSet<QUuid> seen;
    QList<TodoSnapshot> fresh;
    int skipped = 0;
    for (const auto &todo : std::as_const(todos.value())) {
        const auto existing = context.count(TodoPredicate::idEquals(todo.id));
        if (!existing)
            return CliError::store(QStringLiteral("cannot read the store: ") + existing.message());
        if (existing.value() > 0 || seen.contains(todo.id)) {
            ++skipped;
            continue;
        }
        seen.insert(todo.id);
        fresh.append(todo);
    }
    for (const auto &todo : std::as_const(fresh))
        insertTodo(context, todo);
    // One save: one transaction for the whole file.
    if (!fresh.isEmpty()) {
        if (auto error = session.save())
            return *error;
    }

    if (!request.json)
        return textReply(QStringLiteral("imported %1, skipped %2").arg(fresh.size()).arg(skipped));
    Json counts = Json::object();
    counts.set(QStringLiteral("imported"), qint64(fresh.size()));
    counts.set(QStringLiteral("skipped"), skipped);
    return counts.toText();
}

} // namespace qb::cli
