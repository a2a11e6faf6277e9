#include "exportreader.h"

#include "input.h"
#include "moments.h"

#include <rapidjson/error/en.h>
#include <rapidjson/reader.h>

#include <cstring>
#include <string_view>
#include <vector>

namespace qb::cli {

namespace {

constexpr int formatVersion = 1;
// The most bytes between two tokens the reader reports: one text at its limit, written with
// \u escapes throughout. The reader buffers a token whole, so this bounds its buffer.
constexpr qint64 longestToken = limits::importTextBytes * 6 + 64;
// Keys of unknown meaning may hold anything, but not nested without end.
constexpr int deepestSkipped = 64;

CliError importError(const QString &message) {
    return CliError::badInput(QStringLiteral("cannot import: ") + message);
}

// The chunks of an Input as the character stream RapidJSON's reader pulls from. The reader
// takes '\0' for the end, so a NUL byte in the file ends the stream there and is remembered.
class JsonStream {
public:
    using Ch = char;

    explicit JsonStream(Input &input)
        : m_input(input) {
        refill();
    }

    Ch Peek() const { return m_at < m_end ? *m_at : '\0'; }
    Ch Take() {
        if (m_at >= m_end)
            return '\0';
        const Ch c = *m_at++;
        if (m_at == m_end)
            refill();
        return c;
    }
    std::size_t Tell() const { return std::size_t(m_offset + (m_at - m_begin)); }
    // Writing is not used for reading, but the stream concept names it.
    Ch *PutBegin() { return nullptr; }
    void Put(Ch) {}
    void Flush() {}
    std::size_t PutEnd(Ch *) { return 0; }

    // A token boundary: the reader has just handed over a value or a key.
    void tokenEnded() { m_tokenStart = qint64(Tell()); }
    const std::optional<CliError> &error() const { return m_error; }
    std::optional<qint64> nulOffset() const { return m_nulOffset; }

private:
    void refill() {
        m_offset += m_end - m_begin;
        m_begin = m_at = m_end = nullptr;
        if (m_finished)
            return;
        // Checked a chunk at a time: a token runs past the limit by less than a chunk.
        if (m_offset - m_tokenStart > longestToken) {
            stop(importError(QStringLiteral("a value longer than %1 at byte %2")
                                 .arg(sizeText(limits::importTextBytes))
                                 .arg(m_tokenStart)));
            return;
        }
        auto chunk = m_input.next();
        if (!chunk) {
            stop(chunk.error());
            return;
        }
        m_begin = m_at = chunk->data();
        m_end = m_begin + chunk->size();
        m_finished = chunk->isEmpty();
        if (const void *nul = std::memchr(m_begin, '\0', std::size_t(chunk->size()))) {
            m_end = static_cast<const char *>(nul);
            m_nulOffset = m_offset + (m_end - m_begin);
            m_finished = true;
        }
    }
    void stop(CliError error) {
        if (!m_error)
            m_error = std::move(error);
        m_offset += m_at - m_begin;
        m_begin = m_at = m_end = nullptr;
        m_finished = true;
    }

    Input &m_input;
    const char *m_begin = nullptr;
    const char *m_at = nullptr;
    const char *m_end = nullptr;
    qint64 m_offset = 0; // of m_begin in the input
    qint64 m_tokenStart = 0;
    bool m_finished = false;
    std::optional<qint64> m_nulOffset;
    std::optional<CliError> m_error;
};

enum class Field {
    Ignored,
    FormatVersion,
    Todos,
    Id,
    Title,
    Notes,
    IsCompleted,
    CompletedAt,
    ScheduledDate,
    ListRaw,
    SortOrder,
    CreatedAt,
    RecurrenceRuleRaw,
    Subtasks,
    Changes,
    KindRaw,
    Detail,
    Timestamp,
};

enum class Frame { Root, TodoList, Todo, SubtaskList, Subtask, ChangeList, Change, Skipped };

struct KeyName {
    std::string_view name;
    Field field;
};

// The stored fields of each object, every one required.
constexpr KeyName rootKeys[] = {{"formatVersion", Field::FormatVersion}, {"todos", Field::Todos}};
constexpr KeyName todoKeys[] = {{"id", Field::Id},
                                {"title", Field::Title},
                                {"notes", Field::Notes},
                                {"isCompleted", Field::IsCompleted},
                                {"completedAt", Field::CompletedAt},
                                {"scheduledDate", Field::ScheduledDate},
                                {"listRaw", Field::ListRaw},
                                {"sortOrder", Field::SortOrder},
                                {"createdAt", Field::CreatedAt},
                                {"recurrenceRuleRaw", Field::RecurrenceRuleRaw},
                                {"subtasks", Field::Subtasks},
                                {"changes", Field::Changes}};
constexpr KeyName subtaskKeys[] = {{"id", Field::Id},
                                   {"title", Field::Title},
                                   {"isCompleted", Field::IsCompleted},
                                   {"sortOrder", Field::SortOrder},
                                   {"createdAt", Field::CreatedAt}};
constexpr KeyName changeKeys[] = {{"id", Field::Id},
                                  {"kindRaw", Field::KindRaw},
                                  {"detail", Field::Detail},
                                  {"timestamp", Field::Timestamp}};

std::pair<const KeyName *, const KeyName *> keysOf(Frame frame) {
    switch (frame) {
    case Frame::Root:
        return {std::begin(rootKeys), std::end(rootKeys)};
    case Frame::Todo:
        return {std::begin(todoKeys), std::end(todoKeys)};
    case Frame::Subtask:
        return {std::begin(subtaskKeys), std::end(subtaskKeys)};
    case Frame::Change:
        return {std::begin(changeKeys), std::end(changeKeys)};
    default:
        return {nullptr, nullptr};
    }
}

QLatin1String nameOf(Frame frame, Field field) {
    const auto [begin, end] = keysOf(frame);
    for (const KeyName *key = begin; key != end; ++key) {
        if (key->field == field)
            return QLatin1String(key->name.data(), qsizetype(key->name.size()));
    }
    return {};
}

QString expected(Field field) {
    const QString moment = QStringLiteral("a date-time in the years ") + yearRangeText();
    switch (field) {
    case Field::Id:
        return QStringLiteral("a UUID");
    case Field::IsCompleted:
        return QStringLiteral("true or false");
    case Field::SortOrder:
    case Field::FormatVersion:
        return QStringLiteral("a number");
    case Field::CreatedAt:
    case Field::Timestamp:
        return moment;
    case Field::CompletedAt:
    case Field::ScheduledDate:
        return moment + QStringLiteral(" or null");
    case Field::RecurrenceRuleRaw:
    case Field::Detail:
        return QStringLiteral("a string or null");
    case Field::Todos:
    case Field::Subtasks:
    case Field::Changes:
        return QStringLiteral("an array");
    default:
        return QStringLiteral("a string");
    }
}

// Text that QString would not read back byte for byte: UTF-8 of a lone surrogate, which the
// reader lets through from a \u escape.
bool holdsSurrogate(const char *text, std::size_t length) {
    const auto *bytes = reinterpret_cast<const unsigned char *>(text);
    for (std::size_t i = 0; i + 1 < length; ++i) {
        if (bytes[i] == 0xed && bytes[i + 1] >= 0xa0)
            return true;
    }
    return false;
}

} // namespace

QString todoPlace(qsizetype todo) {
    return QStringLiteral("todos[%1]").arg(todo);
}

// The reader's events, checked against the format one at a time.
class ExportReader::Handler {
public:
    Handler(const Calendar &calendar)
        : m_moments(calendar) {}

    std::optional<CliError> read(Input &input, const Sink &sink) {
        JsonStream stream(input);
        m_stream = &stream;
        m_sink = &sink;
        rapidjson::Reader reader;
        constexpr unsigned flags = rapidjson::kParseIterativeFlag |
                                   rapidjson::kParseValidateEncodingFlag |
                                   rapidjson::kParseFullPrecisionFlag;
        const rapidjson::ParseResult parsed = reader.Parse<flags>(stream, *this);
        m_stream = nullptr;
        // A stream cut short (too long, unreadable) is what made the rest fail.
        if (stream.error())
            return stream.error();
        if (m_error)
            return m_error;
        if (stream.nulOffset())
            return importError(
                QStringLiteral("not JSON (a NUL byte at byte %1)").arg(*stream.nulOffset()));
        if (parsed.IsError())
            return importError(QStringLiteral("not JSON (%1 at byte %2)")
                                   .arg(QString::fromUtf8(GetParseError_En(parsed.Code())))
                                   .arg(parsed.Offset()));
        return std::nullopt;
    }

    // RapidJSON's handler interface.
    bool Null() { return value(Value::Null); }
    bool Bool(bool b) {
        m_bool = b;
        return value(Value::Bool);
    }
    bool Int(int i) { return number(i); }
    bool Uint(unsigned u) { return number(u); }
    bool Int64(int64_t i) { return number(double(i)); }
    bool Uint64(uint64_t u) { return number(double(u)); }
    bool Double(double d) { return number(d); }
    bool RawNumber(const char *, rapidjson::SizeType, bool) { return value(Value::Other); }
    bool String(const char *text, rapidjson::SizeType length, bool) {
        m_text = text;
        m_length = length;
        return value(Value::String);
    }
    bool StartObject() { return start(true); }
    bool StartArray() { return start(false); }
    bool EndObject(rapidjson::SizeType) { return end(); }
    bool EndArray(rapidjson::SizeType) { return end(); }
    bool Key(const char *text, rapidjson::SizeType length, bool) {
        if (!boundary())
            return false;
        if (top() == Frame::Skipped)
            return true;
        const auto [begin, end] = keysOf(top());
        m_field = Field::Ignored;
        for (const KeyName *key = begin; key != end; ++key) {
            if (key->name == std::string_view(text, length)) {
                m_field = key->field;
                break;
            }
        }
        if (m_field == Field::Ignored)
            return true;
        const quint32 bit = quint32(1) << int(m_field);
        if (m_seen.back() & bit)
            return fail(QStringLiteral("%1.%2: given twice").arg(place(), nameOf(top(), m_field)));
        m_seen.back() |= bit;
        return true;
    }

private:
    enum class Value { Null, Bool, Number, String, Other };

    Frame top() const { return m_frames.empty() ? Frame::Root : m_frames.back(); }
    bool inDocument() const { return m_frames.empty() && !m_rootDone; }

    bool fail(const QString &message) {
        if (!m_error)
            m_error = importError(message);
        return false;
    }
    bool problem(Field field) {
        return fail(QStringLiteral("%1.%2: expected %3")
                        .arg(place(), nameOf(top(), field), expected(field)));
    }
    bool notAnExport() {
        return fail(QStringLiteral("not an export of format version %1").arg(formatVersion));
    }

    // Where the reader is, as todos[3].subtasks[1].
    QString place() const {
        switch (top()) {
        case Frame::Root:
            return QStringLiteral("the file");
        case Frame::Subtask:
            return QStringLiteral("%1.subtasks[%2]").arg(todoPlace(m_todoIndex)).arg(m_member);
        case Frame::Change:
            return QStringLiteral("%1.changes[%2]").arg(todoPlace(m_todoIndex)).arg(m_member);
        default:
            return todoPlace(m_todoIndex);
        }
    }

    // Every event ends a token; inside a to-do, it also bounds what the to-do may take.
    bool boundary() {
        m_stream->tokenEnded();
        if (m_inTodo && qint64(m_stream->Tell()) - m_todoStart > limits::importTodoBytes)
            return fail(QStringLiteral("%1 is longer than %2 with its subtasks and log")
                            .arg(todoPlace(m_todoIndex), sizeText(limits::importTodoBytes)));
        return true;
    }

    bool number(double d) {
        m_number = d;
        return value(Value::Number);
    }

    QString text() const {
        // Empty texts stay empty, not null: null means an absent detail or rule.
        return m_length == 0 ? QStringLiteral("") : QString::fromUtf8(m_text, qsizetype(m_length));
    }
    std::optional<QDateTime> moment(Value kind, bool orNull) {
        if (kind == Value::Null && orNull)
            return QDateTime();
        if (kind != Value::String)
            return std::nullopt;
        const auto read = m_moments.read(QByteArrayView(m_text, qsizetype(m_length)));
        if (read.problem)
            return std::nullopt;
        return read.moment;
    }

    // A scalar value: a field of the object being read, or an item where an object belongs.
    bool value(Value kind) {
        if (!boundary())
            return false;
        if (inDocument())
            return notAnExport();
        switch (top()) {
        case Frame::Skipped:
            return true;
        case Frame::TodoList:
            return fail(todoPlace(m_todoIndex) + QStringLiteral(": expected an object"));
        case Frame::SubtaskList:
        case Frame::ChangeList:
            return fail(QStringLiteral("%1.%2[%3]: expected an object")
                            .arg(todoPlace(m_todoIndex), top() == Frame::SubtaskList
                                                             ? QStringLiteral("subtasks")
                                                             : QStringLiteral("changes"))
                            .arg(m_member));
        default:
            break;
        }
        const Field field = std::exchange(m_field, Field::Ignored);
        if (field == Field::Ignored)
            return true;
        if (kind == Value::String) {
            if (m_length > quint64(limits::importTextBytes))
                return fail(
                    QStringLiteral("%1.%2: longer than %3")
                        .arg(place(), nameOf(top(), field), sizeText(limits::importTextBytes)));
            if (holdsSurrogate(m_text, m_length))
                return fail(QStringLiteral("%1.%2: not valid Unicode text")
                                .arg(place(), nameOf(top(), field)));
        }
        if (field == Field::Todos)
            return fail(QStringLiteral("\"todos\" must be an array"));
        if (assign(field, kind))
            return true;
        return m_error ? false : problem(field);
    }

    // Stores a scalar in its field; false when its type does not fit.
    bool assign(Field field, Value kind) {
        const bool isText = kind == Value::String;
        switch (field) {
        case Field::FormatVersion:
            if (kind != Value::Number || m_number != formatVersion)
                return notAnExport();
            return true;
        case Field::Id: {
            const QUuid id =
                isText ? QUuid::fromString(QLatin1String(m_text, qsizetype(m_length))) : QUuid();
            if (id.isNull())
                return false;
            (top() == Frame::Todo      ? m_todo.id
             : top() == Frame::Subtask ? m_subtask.id
                                       : m_change.id) = id;
            return true;
        }
        case Field::Title:
            if (!isText)
                return false;
            (top() == Frame::Todo ? m_todo.title : m_subtask.title) = text();
            return true;
        case Field::Notes:
            if (isText)
                m_todo.notes = text();
            return isText;
        case Field::ListRaw:
            if (isText)
                m_todo.listRaw = text();
            return isText;
        case Field::KindRaw:
            if (isText)
                m_change.kindRaw = text();
            return isText;
        case Field::RecurrenceRuleRaw:
        case Field::Detail:
            if (!isText && kind != Value::Null)
                return false;
            (field == Field::Detail ? m_change.detail : m_todo.recurrenceRuleRaw) =
                isText ? text() : QString();
            return true;
        case Field::IsCompleted:
            if (kind != Value::Bool)
                return false;
            (top() == Frame::Todo ? m_todo.isCompleted : m_subtask.isCompleted) = m_bool;
            return true;
        case Field::SortOrder:
            if (kind != Value::Number)
                return false;
            (top() == Frame::Todo ? m_todo.sortOrder : m_subtask.sortOrder) = m_number;
            return true;
        case Field::CreatedAt:
        case Field::Timestamp:
        case Field::CompletedAt:
        case Field::ScheduledDate: {
            const bool orNull = field == Field::CompletedAt || field == Field::ScheduledDate;
            const auto read = moment(kind, orNull);
            if (!read)
                return false;
            if (field == Field::CompletedAt)
                m_todo.completedAt = *read;
            else if (field == Field::ScheduledDate)
                m_todo.scheduledDate = *read;
            else if (field == Field::Timestamp)
                m_change.timestamp = *read;
            else
                (top() == Frame::Todo ? m_todo.createdAt : m_subtask.createdAt) = *read;
            return true;
        }
        default:
            return false; // an array field given a scalar
        }
    }

    bool start(bool object) {
        if (!boundary())
            return false;
        if (inDocument()) {
            if (!object)
                return notAnExport();
            return push(Frame::Root);
        }
        const Frame frame = top();
        if (frame == Frame::Skipped) {
            if (++m_skipDepth > deepestSkipped)
                return fail(place() + QStringLiteral(": values nested too deeply"));
            return true;
        }
        if (frame == Frame::TodoList || frame == Frame::SubtaskList || frame == Frame::ChangeList) {
            if (!object)
                return value(Value::Other);
            if (frame == Frame::TodoList) {
                m_todo = TodoSnapshot();
                m_inTodo = true;
                m_todoStart = qint64(m_stream->Tell());
                return push(Frame::Todo);
            }
            if (frame == Frame::SubtaskList) {
                m_subtask = {};
                return push(Frame::Subtask);
            }
            m_change = {};
            return push(Frame::Change);
        }
        const Field field = std::exchange(m_field, Field::Ignored);
        if (field == Field::Ignored) {
            m_skipDepth = 1;
            return push(Frame::Skipped);
        }
        const bool list =
            field == Field::Todos || field == Field::Subtasks || field == Field::Changes;
        if (!object && list) {
            m_member = 0;
            return push(field == Field::Todos      ? Frame::TodoList
                        : field == Field::Subtasks ? Frame::SubtaskList
                                                   : Frame::ChangeList);
        }
        if (field == Field::Todos)
            return fail(QStringLiteral("\"todos\" must be an array"));
        if (field == Field::FormatVersion)
            return notAnExport();
        return problem(field);
    }

    bool push(Frame frame) {
        m_frames.push_back(frame);
        m_seen.push_back(0);
        return true;
    }

    // Closes the innermost object or array; a closed object must have had all its keys.
    bool end() {
        if (!boundary())
            return false;
        const Frame frame = top();
        if (frame == Frame::Skipped) {
            if (--m_skipDepth == 0)
                pop();
            return true;
        }
        const auto [begin, last] = keysOf(frame);
        for (const KeyName *key = begin; key != last; ++key) {
            if (!(m_seen.back() & (quint32(1) << int(key->field)))) {
                if (key->field == Field::FormatVersion)
                    return notAnExport();
                if (key->field == Field::Todos)
                    return fail(QStringLiteral("\"todos\" must be an array"));
                return problem(key->field);
            }
        }
        pop();
        switch (frame) {
        case Frame::Root:
            m_rootDone = true;
            return true;
        case Frame::Todo:
            m_inTodo = false;
            if (auto error = (*m_sink)(std::move(m_todo), m_todoIndex)) {
                m_error = std::move(error);
                return false;
            }
            ++m_todoIndex;
            return true;
        case Frame::Subtask:
            m_todo.subtasks.append(std::move(m_subtask));
            ++m_member;
            return true;
        case Frame::Change:
            m_todo.changes.append(std::move(m_change));
            ++m_member;
            return true;
        default:
            return true;
        }
    }

    void pop() {
        m_frames.pop_back();
        m_seen.pop_back();
    }

    MomentReader m_moments;
    JsonStream *m_stream = nullptr;
    const Sink *m_sink = nullptr;
    std::optional<CliError> m_error;

    std::vector<Frame> m_frames;
    std::vector<quint32> m_seen;    // the fields each open object has had, as bits
    Field m_field = Field::Ignored; // what the next value of the innermost object is
    int m_skipDepth = 0;
    bool m_rootDone = false;

    TodoSnapshot m_todo;
    TodoSnapshot::SubtaskSnapshot m_subtask;
    TodoSnapshot::ChangeSnapshot m_change;
    qsizetype m_todoIndex = 0;
    qsizetype m_member = 0;
    bool m_inTodo = false;
    qint64 m_todoStart = 0;

    // The scalar being handed over.
    bool m_bool = false;
    double m_number = 0;
    const char *m_text = nullptr;
    std::size_t m_length = 0;
};

ExportReader::ExportReader(const Calendar &calendar)
    : m_handler(std::make_unique<Handler>(calendar)) {}

ExportReader::~ExportReader() = default;

std::optional<CliError> ExportReader::read(Input &input, const Sink &sink) {
    return m_handler->read(input, sink);
}

} // namespace qb::cli
