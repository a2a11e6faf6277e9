#include "sync/vtodo.h"

#include "sync/icalcontent.h"
#include "sync/recurrencemapping.h"

#include <libical/ical.h>

#include <QSet>

#include <memory>
#include <mutex>

namespace qb::sync {

namespace {

const QByteArray logProperty = QByteArrayLiteral("X-QUILLBROOK-CHANGE");
const QByteArray orderProperty = QByteArrayLiteral("X-APPLE-SORT-ORDER");
// X-APPLE-SORT-ORDER is an integer to the clients that read it; ours keeps thousandths.
constexpr double orderScale = 1000.0;

struct ComponentDeleter {
    void operator()(icalcomponent *component) const { icalcomponent_free(component); }
};
using ComponentPtr = std::unique_ptr<icalcomponent, ComponentDeleter>;

void reportErrorsAsValues() {
    static std::once_flag once;
    std::call_once(once, [] { icalerror_set_errors_are_fatal(0); });
}

QString textOf(const char *text) {
    return text ? QString::fromUtf8(text) : QString();
}

QDateTime momentOf(const icaltimetype &time) {
    if (icaltime_is_null_time(time) || !icaltime_is_valid_time(time))
        return {};
    if (time.is_date)
        return QDateTime(QDate(time.year, time.month, time.day), QTime(0, 0), Qt::UTC);
    if (time.zone)
        return QDateTime::fromSecsSinceEpoch(icaltime_as_timet_with_zone(time, time.zone), Qt::UTC);
    // Floating: read as if in UTC, which is how servers compare them too.
    return QDateTime(QDate(time.year, time.month, time.day),
                     QTime(time.hour, time.minute, time.second), Qt::UTC);
}

std::optional<QDate> dayOf(const icaltimetype &time, const QTimeZone &localZone) {
    if (icaltime_is_null_time(time))
        return std::nullopt;
    const QDate own(time.year, time.month, time.day);
    if (!own.isValid())
        return std::nullopt;
    if (time.is_date || !time.zone)
        return own;
    return QDateTime::fromSecsSinceEpoch(icaltime_as_timet_with_zone(time, time.zone), localZone)
        .date();
}

// A title holds no line break: one from elsewhere becomes a space.
QString titleFrom(const QString &summary) {
    QString title = summary;
    title.replace(QLatin1String("\r\n"), QLatin1String(" "));
    title.replace(u'\n', u' ');
    title.replace(u'\r', u' ');
    return title.trimmed();
}

QByteArray parameter(icalproperty *property, const char *name) {
    for (icalparameter *p = icalproperty_get_first_parameter(property, ICAL_X_PARAMETER); p;
         p = icalproperty_get_next_parameter(property, ICAL_X_PARAMETER)) {
        if (qstricmp(icalparameter_get_xname(p), name) == 0)
            return QByteArray(icalparameter_get_xvalue(p));
    }
    return {};
}

std::optional<LogEntry> logEntryOf(icalproperty *property) {
    const QUuid id = QUuid::fromString(QLatin1String(parameter(property, "X-ID")));
    bool timeOk = false;
    const qint64 time = parameter(property, "X-TIME").toLongLong(&timeOk);
    if (id.isNull() || !timeOk)
        return std::nullopt;
    LogEntry entry;
    entry.id = id;
    entry.kindRaw = ical::parameterText(parameter(property, "X-KIND"));
    entry.timestamp = QDateTime::fromMSecsSinceEpoch(time, Qt::UTC);
    // An empty value is not allowed, so an absent or empty detail is a parameter.
    const QByteArray detail = parameter(property, "X-DETAIL").toUpper();
    if (detail == "EMPTY")
        entry.detail = QLatin1String("");
    else if (detail != "NONE")
        entry.detail = QString::fromUtf8(icalproperty_get_x(property));
    return entry;
}

bool isParentRelation(icalproperty *property) {
    icalparameter *type = icalproperty_get_first_parameter(property, ICAL_RELTYPE_PARAMETER);
    return !type || icalparameter_get_reltype(type) == ICAL_RELTYPE_PARENT;
}

// The first VTODO that is not an override of one occurrence.
icalcomponent *masterTodo(icalcomponent *root) {
    if (icalcomponent_isa(root) == ICAL_VTODO_COMPONENT)
        return root;
    for (icalcomponent *todo = icalcomponent_get_first_component(root, ICAL_VTODO_COMPONENT); todo;
         todo = icalcomponent_get_next_component(root, ICAL_VTODO_COMPONENT)) {
        if (!icalcomponent_get_first_property(todo, ICAL_RECURRENCEID_PROPERTY))
            return todo;
    }
    return nullptr;
}

void readCompletion(icalcomponent *todo, VTodo &result) {
    icalproperty *status = icalcomponent_get_first_property(todo, ICAL_STATUS_PROPERTY);
    icalproperty *completed = icalcomponent_get_first_property(todo, ICAL_COMPLETED_PROPERTY);
    icalproperty *percent = icalcomponent_get_first_property(todo, ICAL_PERCENTCOMPLETE_PROPERTY);
    bool done = false;
    if (status) {
        const icalproperty_status value = icalproperty_get_status(status);
        done = value == ICAL_STATUS_COMPLETED || value == ICAL_STATUS_CANCELLED;
    } else {
        done = completed || (percent && icalproperty_get_percentcomplete(percent) >= 100);
    }
    result.fields.completed = done;
    if (done) {
        const QDateTime at =
            completed ? momentOf(icalproperty_get_completed(completed)) : QDateTime();
        result.fields.completedAt = at.isValid() ? at : result.modified;
    }
}

void readDay(icalcomponent *todo, const QTimeZone &localZone, ItemFields &fields) {
    if (icalcomponent_get_first_property(todo, ICAL_DUE_PROPERTY))
        fields.day = dayOf(icalcomponent_get_due(todo), localZone);
    else if (icalcomponent_get_first_property(todo, ICAL_DTSTART_PROPERTY))
        fields.day = dayOf(icalcomponent_get_dtstart(todo), localZone);
}

void readLogAndOrder(icalcomponent *todo, ItemFields &fields) {
    fields.hasLog = false;
    for (icalproperty *p = icalcomponent_get_first_property(todo, ICAL_X_PROPERTY); p;
         p = icalcomponent_get_next_property(todo, ICAL_X_PROPERTY)) {
        const QByteArray name = QByteArray(icalproperty_get_x_name(p)).toUpper();
        if (name == orderProperty) {
            bool ok = false;
            const double order = QByteArray(icalproperty_get_x(p)).trimmed().toDouble(&ok);
            if (ok)
                fields.sortOrder = orderPrecision(order / orderScale);
        } else if (name == logProperty) {
            fields.hasLog = true;
            if (const auto entry = logEntryOf(p))
                fields.log.append(*entry);
        }
    }
    std::stable_sort(
        fields.log.begin(), fields.log.end(),
        [](const LogEntry &a, const LogEntry &b) { return a.timestamp < b.timestamp; });
}

} // namespace

Result<VTodo> readVTodo(const QByteArray &text, const QTimeZone &localZone) {
    if (text.size() > maximumObjectSize)
        return StoreError{
            QStringLiteral("The calendar object is too large (%1 bytes)").arg(text.size())};
    reportErrorsAsValues();
    ComponentPtr root(icalparser_parse_string(text.constData()));
    icalcomponent *todo = root ? masterTodo(root.get()) : nullptr;
    if (!todo)
        return StoreError{QStringLiteral("The calendar object holds no to-do")};
    VTodo result;
    result.uid = textOf(icalcomponent_get_uid(todo));
    if (result.uid.isEmpty())
        return StoreError{QStringLiteral("The to-do has no UID")};

    if (icalproperty *p = icalcomponent_get_first_property(todo, ICAL_LASTMODIFIED_PROPERTY))
        result.modified = momentOf(icalproperty_get_lastmodified(p));
    if (icalproperty *p = icalcomponent_get_first_property(todo, ICAL_DTSTAMP_PROPERTY);
        p && !result.modified.isValid())
        result.modified = momentOf(icalproperty_get_dtstamp(p));
    if (icalproperty *p = icalcomponent_get_first_property(todo, ICAL_SEQUENCE_PROPERTY))
        result.sequence = icalproperty_get_sequence(p);

    ItemFields &fields = result.fields;
    fields.title = titleFrom(textOf(icalcomponent_get_summary(todo)));
    fields.notes = textOf(icalcomponent_get_description(todo));
    if (fields.notes.isNull())
        fields.notes = QLatin1String("");
    readDay(todo, localZone, fields);
    readCompletion(todo, result);
    if (icalproperty *p = icalcomponent_get_first_property(todo, ICAL_CREATED_PROPERTY))
        fields.createdAt = momentOf(icalproperty_get_created(p));
    if (icalproperty *p = icalcomponent_get_first_property(todo, ICAL_RRULE_PROPERTY)) {
        const MappedRule mapped =
            ruleFromRecurrence(icalproperty_get_rrule(p), fields.day.value_or(QDate()));
        fields.ruleRaw = QString::fromUtf8(mapped.rule.toJson());
    }
    for (icalproperty *p = icalcomponent_get_first_property(todo, ICAL_RELATEDTO_PROPERTY); p;
         p = icalcomponent_get_next_property(todo, ICAL_RELATEDTO_PROPERTY)) {
        if (isParentRelation(p)) {
            result.parentUid = textOf(icalproperty_get_relatedto(p));
            break;
        }
    }
    readLogAndOrder(todo, fields);
    fields.completedAt = wholeSeconds(fields.completedAt);
    fields.createdAt = wholeSeconds(fields.createdAt);
    return result;
}

// Writing -----------------------------------------------------------------------------------

namespace {

// Our properties, in the groups that change together.
enum class Group { Title, Notes, Day, Completion, Rule, Order, Created, Log, Stamps };

QList<QByteArray> propertiesOf(Group group) {
    switch (group) {
    case Group::Title:
        return {"SUMMARY"};
    case Group::Notes:
        return {"DESCRIPTION"};
    case Group::Day:
        return {"DUE", "DTSTART"};
    case Group::Completion:
        return {"STATUS", "COMPLETED", "PERCENT-COMPLETE"};
    case Group::Rule:
        return {"RRULE"};
    case Group::Order:
        return {orderProperty};
    case Group::Created:
        return {"CREATED"};
    case Group::Log:
        return {logProperty};
    case Group::Stamps:
        return {"DTSTAMP", "LAST-MODIFIED", "SEQUENCE"};
    }
    return {};
}

QList<Group> changedGroups(ItemKind kind, const ItemFields &was, const ItemFields &now) {
    QList<Group> changed;
    const auto check = [&](Group group, bool differs) {
        if (differs)
            changed.append(group);
    };
    check(Group::Title, was.title != now.title);
    check(Group::Completion, was.completed != now.completed ||
                                 (kind == ItemKind::Todo && was.completedAt != now.completedAt));
    check(Group::Order, was.sortOrder != now.sortOrder);
    check(Group::Created, !sameCreation(was.createdAt, now.createdAt));
    if (kind == ItemKind::Todo) {
        check(Group::Notes, was.notes != now.notes);
        check(Group::Day, was.day != now.day);
        check(Group::Rule, was.ruleRaw != now.ruleRaw);
        check(Group::Log, now.hasLog && was.log != now.log);
    }
    return changed;
}

QByteArray logLine(const LogEntry &entry) {
    QByteArray head = logProperty + ";X-ID=" + entry.id.toString(QUuid::WithoutBraces).toLatin1() +
                      ";X-KIND=" + ical::parameterValue(entry.kindRaw) +
                      ";X-TIME=" + QByteArray::number(entry.timestamp.toMSecsSinceEpoch());
    if (entry.detail.isEmpty()) {
        head += entry.detail.isNull() ? ";X-DETAIL=NONE" : ";X-DETAIL=EMPTY";
        return ical::line(head, "-");
    }
    return ical::line(head, ical::escapeText(entry.detail));
}

QByteArray linesOf(Group group, const ItemFields &fields, const WriteOptions &options, int sequence,
                   bool hadStart) {
    QByteArray out;
    switch (group) {
    case Group::Title:
        out += ical::line("SUMMARY", ical::escapeText(fields.title));
        break;
    case Group::Notes:
        if (!fields.notes.isEmpty())
            out += ical::line("DESCRIPTION", ical::escapeText(fields.notes));
        break;
    case Group::Day:
        if (fields.day) {
            const QByteArray day = ical::dateValue(*fields.day);
            out += ical::line("DUE;VALUE=DATE", day);
            // A start after the new due day would make the to-do invalid; a repeating one
            // needs a start for its rule.
            if (hadStart || !fields.ruleRaw.isNull())
                out += ical::line("DTSTART;VALUE=DATE", day);
        }
        break;
    case Group::Completion:
        if (fields.completed) {
            const QDateTime at = fields.completedAt.isValid() && options.kind == ItemKind::Todo
                                     ? fields.completedAt
                                     : options.now;
            out += ical::line("STATUS", "COMPLETED") + ical::line("COMPLETED", ical::utcValue(at)) +
                   ical::line("PERCENT-COMPLETE", "100");
        } else {
            out += ical::line("STATUS", "NEEDS-ACTION");
        }
        break;
    case Group::Rule:
        if (const auto rule = RecurrenceRule::fromJson(fields.ruleRaw.toUtf8()))
            out += ical::line("RRULE", recurrenceText(*rule));
        break;
    case Group::Order:
        out += ical::line(orderProperty,
                          QByteArray::number(qint64(std::llround(fields.sortOrder * orderScale))));
        break;
    case Group::Created:
        if (fields.createdAt.isValid())
            out += ical::line("CREATED", ical::utcValue(fields.createdAt));
        break;
    case Group::Log:
        for (const LogEntry &entry : fields.log)
            out += logLine(entry);
        break;
    case Group::Stamps:
        out +=
            ical::line("DTSTAMP", ical::utcValue(options.now)) +
            ical::line("LAST-MODIFIED", ical::utcValue(options.modified.isValid() ? options.modified
                                                                                  : options.now)) +
            ical::line("SEQUENCE", QByteArray::number(sequence));
        break;
    }
    return out;
}

QByteArray newObject(const ItemFields &fields, const WriteOptions &options) {
    QByteArray out = "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Quill Brook//Sync//EN\r\n"
                     "BEGIN:VTODO\r\n";
    out += ical::line("UID", ical::escapeText(options.uid));
    out += linesOf(Group::Stamps, fields, options, 0, false);
    QList<Group> groups = {Group::Title, Group::Completion, Group::Order, Group::Created};
    if (options.kind == ItemKind::Subtask && !options.parentUid.isEmpty())
        out += ical::line("RELATED-TO;RELTYPE=PARENT", ical::escapeText(options.parentUid));
    if (options.kind == ItemKind::Todo)
        groups << Group::Notes << Group::Day << Group::Rule << Group::Log;
    for (Group group : groups)
        out += linesOf(group, fields, options, 0, false);
    return out + "END:VTODO\r\nEND:VCALENDAR\r\n";
}

// Where the master VTODO's own lines are: [begin, end] are its BEGIN and END lines.
struct Span {
    qsizetype begin = -1;
    qsizetype end = -1;
    int depth = 0;
};

Span masterSpan(const QList<ical::ContentLine> &lines) {
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (lines[i].name != "BEGIN" || lines[i].component != "VTODO")
            continue;
        Span span{i, -1, lines[i].depth};
        bool isOverride = false;
        for (qsizetype j = i + 1; j < lines.size(); ++j) {
            if (lines[j].depth == span.depth && lines[j].name == "RECURRENCE-ID")
                isOverride = true;
            if (lines[j].depth == span.depth && lines[j].name == "END") {
                span.end = j;
                break;
            }
        }
        if (span.end >= 0 && !isOverride)
            return span;
    }
    return {};
}

} // namespace

QByteArray writeVTodo(const QByteArray &original, const ItemFields &fields,
                      const WriteOptions &options) {
    const auto was =
        original.isEmpty() ? Result<VTodo>(StoreError{}) : readVTodo(original, options.localZone);
    const QList<ical::ContentLine> lines =
        was ? ical::splitLines(original) : QList<ical::ContentLine>();
    const Span span = masterSpan(lines);
    if (!was || span.begin < 0)
        return newObject(fields, options);

    QList<Group> changed = changedGroups(options.kind, was.value().fields, fields);
    if (changed.isEmpty())
        return original;
    changed.append(Group::Stamps);
    QSet<QByteArray> replaced;
    for (Group group : changed) {
        for (const QByteArray &name : propertiesOf(group))
            replaced.insert(name);
    }

    bool hadStart = false;
    bool keepsStart = false;
    bool keepsRule = false;
    for (qsizetype i = span.begin + 1; i < span.end; ++i) {
        if (lines[i].depth != span.depth)
            continue;
        hadStart = hadStart || lines[i].name == "DTSTART";
        keepsStart = keepsStart || (lines[i].name == "DTSTART" && !replaced.contains("DTSTART"));
        keepsRule = keepsRule || (lines[i].name == "RRULE" && !replaced.contains("RRULE"));
    }
    QByteArray added;
    for (Group group : changed)
        added += linesOf(group, fields, options, was.value().sequence + 1, hadStart);
    // A rule set here on a to-do whose day stays needs a start too.
    const bool repeats = keepsRule || !fields.ruleRaw.isNull();
    const bool writesStart =
        changed.contains(Group::Day) && fields.day && (hadStart || !fields.ruleRaw.isNull());
    if (options.kind == ItemKind::Todo && repeats && fields.day && !keepsStart && !writesStart)
        added += ical::line("DTSTART;VALUE=DATE", ical::dateValue(*fields.day));

    QByteArray out;
    out.reserve(original.size() + added.size());
    bool inserted = false;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const ical::ContentLine &line = lines[i];
        const bool own = i > span.begin && i < span.end && line.depth == span.depth;
        // New lines go after the master's properties, before its alarms and its END.
        if (!inserted && i > span.begin && (i == span.end || line.depth > span.depth)) {
            out += added;
            inserted = true;
        }
        if (own && replaced.contains(line.name))
            continue;
        out += line.raw;
        if (!line.raw.endsWith('\n'))
            out += "\r\n";
    }
    return out;
}

} // namespace qb::sync
