#pragma once

#include "outcome.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <memory>

namespace qb::cli {

// What the client reads at most. Enough for any real use, and stopped long before memory runs
// out: /dev/zero never ends, and a file is never read whole before it is judged.
namespace limits {
// `notes ID -`: the notes from standard input.
inline constexpr qint64 notesBytes = qint64(4) << 20;
// `import FILE`: the whole file; an export of a million to-dos with their logs is about 2.5 GB.
inline constexpr qint64 importBytes = qint64(4) << 30;
// One string in an import (a title, notes, a log detail), once decoded.
inline constexpr qint64 importTextBytes = notesBytes;
// One to-do in an import with its subtasks and change log, as written.
inline constexpr qint64 importTodoBytes = qint64(64) << 20;
} // namespace limits

// "4 MiB", "4 GiB".
QString sizeText(qint64 bytes);

// A file, or standard input for "-", read in chunks and never past a limit: asking for more
// than `limit` bytes is an error naming the limit and `limitFor` ("notes", "an import").
class Input {
public:
    static Outcome<std::unique_ptr<Input>> open(const QString &path, qint64 limit,
                                                const QString &limitFor);
    ~Input();
    Input(const Input &) = delete;
    Input &operator=(const Input &) = delete;

    // The next bytes; empty at the end.
    Outcome<QByteArrayView> next();
    // Everything up to the end.
    Outcome<QByteArray> readAll();
    // "standard input" or the path, for messages.
    QString name() const { return m_name; }

private:
    Input(int fd, bool owned, QString name, qint64 limit, QString limitFor);

    int m_fd;
    bool m_owned;
    QString m_name;
    qint64 m_limit;
    QString m_limitFor;
    qint64 m_read = 0;
    QByteArray m_buffer;
};

} // namespace qb::cli
