#include "pairedfiles.h"

#include <QDateTime>
#include <QFile>
#include <QStringList>
#include <QUuid>

#include <random>

namespace qb::bench {

namespace {

const char *const words[] = {"Call",    "the dentist", "Email",   "groceries", "Book",
                             "the car", "Review",      "report",  "Renew",     "passport",
                             "Plan",    "the trip",    "Water",   "plants",    "Order",
                             "invoice", "Fix",         "shelves", "Pack",      "winter coats"};
const char *const kinds[] = {"created",   "titleEdited", "notesEdited", "scheduled",
                             "completed", "reopened",    "repeatSet"};

// The same records for both programs, drawn from one seed.
struct Record {
    QString title, notes;
    bool completed = false;
    qint64 created = 0, done = 0, scheduled = 0; // Unix seconds; 0: none
    QStringList subtasks, changes;
};

class Generator {
public:
    explicit Generator(quint32 seed)
        : m_random(seed) {}

    Record next() {
        Record record;
        record.title = phrase(2 + int(m_random() % 4));
        if (m_random() % 3 == 0)
            record.notes = phrase(6 + int(m_random() % 20));
        record.created = 1600000000 + qint64(m_random() % (5 * 365 * 86400));
        record.completed = m_random() % 20 != 0;
        if (record.completed)
            record.done = record.created + qint64(m_random() % (30 * 86400));
        if (m_random() % 2 == 0)
            record.scheduled = record.created / 86400 * 86400 + 86400 * qint64(m_random() % 30);
        for (int i = int(m_random() % 7); i > 0; --i)
            record.subtasks.append(phrase(2 + int(m_random() % 3)));
        for (int i = 1 + int(m_random() % 9); i > 0; --i)
            record.changes.append(phrase(1 + int(m_random() % 4)));
        return record;
    }
    const char *kind() { return kinds[m_random() % std::size(kinds)]; }

private:
    QString phrase(int count) {
        QStringList parts;
        for (int i = 0; i < count; ++i)
            parts.append(QString::fromLatin1(words[m_random() % std::size(words)]));
        return parts.join(u' ');
    }
    std::mt19937 m_random;
};

QByteArray iso(qint64 seconds) {
    return QDateTime::fromSecsSinceEpoch(seconds, Qt::UTC)
        .toString(QStringLiteral("yyyy-MM-dd'T'HH:mm:ss.zzz'Z'"))
        .toLatin1();
}

QByteArray taskTime(qint64 seconds) {
    return QDateTime::fromSecsSinceEpoch(seconds, Qt::UTC)
        .toString(QStringLiteral("yyyyMMdd'T'HHmmss'Z'"))
        .toLatin1();
}

QByteArray quoted(const QString &text) {
    return '"' + text.toUtf8() + '"'; // the generated words need no escapes
}

QByteArray uuid() {
    return '"' + QUuid::createUuid().toByteArray(QUuid::WithoutBraces) + '"';
}

} // namespace

bool writePairedImportFiles(int count, const QString &ours, const QString &theirs,
                            qint64 openFrom) {
    QFile mine(ours), task(theirs);
    if (!mine.open(QIODevice::WriteOnly) || !task.open(QIODevice::WriteOnly))
        return false;
    Generator generator(1);
    constexpr int dueTodayCount = 20;
    int dueToday = 0;
    mine.write("{\"formatVersion\": 1, \"todos\": [\n");
    task.write("[\n");
    for (int i = 0; i < count; ++i) {
        Record r = generator.next();
        if (openFrom != 0 && !r.completed && r.scheduled != 0)
            r.scheduled = openFrom + 86400 * (dueToday++ < dueTodayCount ? 0 : 1 + i % 120);
        QByteArray todo =
            (i > 0 ? ",\n" : "") + QByteArray("{\"id\": ") + uuid() +
            ", \"title\": " + quoted(r.title) + ", \"notes\": " + quoted(r.notes) +
            ", \"isCompleted\": " + (r.completed ? "true" : "false") +
            ", \"completedAt\": " + (r.done ? '"' + iso(r.done) + '"' : "null") +
            ", \"scheduledDate\": " + (r.scheduled ? '"' + iso(r.scheduled) + '"' : "null") +
            ", \"listRaw\": \"today\", \"sortOrder\": " + QByteArray::number(i) +
            ", \"createdAt\": \"" + iso(r.created) +
            "\", \"recurrenceRuleRaw\": null, \"subtasks\": [";
        QByteArray annotations;
        for (qsizetype s = 0; s < r.subtasks.size(); ++s) {
            todo += (s > 0 ? ", " : "") + QByteArray("{\"id\": ") + uuid() +
                    ", \"title\": " + quoted(r.subtasks[s]) +
                    ", \"isCompleted\": false, \"sortOrder\": " + QByteArray::number(s) +
                    ", \"createdAt\": \"" + iso(r.created) + "\"}";
            annotations += ", {\"entry\": \"" + taskTime(r.created + s) +
                           "\", \"description\": " + quoted(r.subtasks[s]) + "}";
        }
        todo += "], \"changes\": [";
        for (qsizetype c = 0; c < r.changes.size(); ++c) {
            todo += (c > 0 ? ", " : "") + QByteArray("{\"id\": ") + uuid() + ", \"kindRaw\": \"" +
                    generator.kind() + "\", \"detail\": " + quoted(r.changes[c]) +
                    ", \"timestamp\": \"" + iso(r.created + c) + "\"}";
            annotations += ", {\"entry\": \"" + taskTime(r.created + 100 + c) +
                           "\", \"description\": " + quoted(r.changes[c]) + "}";
        }
        todo += "]}";
        if (!r.notes.isEmpty())
            annotations += ", {\"entry\": \"" + taskTime(r.created + 99) +
                           "\", \"description\": " + quoted(r.notes) + "}";
        QByteArray line = (i > 0 ? ",\n" : "") + QByteArray("{\"uuid\": ") + uuid() +
                          ", \"description\": " + quoted(r.title) + ", \"status\": \"" +
                          (r.completed ? "completed" : "pending") + "\", \"entry\": \"" +
                          taskTime(r.created) + '"';
        if (r.done)
            line += ", \"end\": \"" + taskTime(r.done) + '"';
        if (r.scheduled)
            line += ", \"scheduled\": \"" + taskTime(r.scheduled) + '"';
        if (!annotations.isEmpty())
            line += ", \"annotations\": [" + annotations.mid(2) + ']';
        line += '}';
        if (mine.write(todo) < 0 || task.write(line) < 0)
            return false;
    }
    mine.write("\n]}\n");
    task.write("\n]\n");
    return mine.flush() && task.flush();
}

} // namespace qb::bench
