#pragma once

#include "store/status.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>

#include <cstdint>
#include <memory>
#include <variant>

struct sqlite3;
struct sqlite3_stmt;

namespace qb::sql {

using Value = std::variant<std::nullptr_t, qint64, double, QString>;

// One prepared statement, reset when it goes out of scope so it can be reused from the cache.
class Statement {
public:
    enum class Step { Row, Done, Error };

    Statement(sqlite3_stmt *statement, sqlite3 *db)
        : m_statement(statement)
        , m_db(db) {}
    ~Statement();
    Statement(Statement &&other) noexcept;
    Statement(const Statement &) = delete;
    Statement &operator=(const Statement &) = delete;
    Statement &operator=(Statement &&) = delete;

    void bind(int index, const Value &value); // 1-based
    void bindAll(const QList<Value> &values);
    Step step();
    // Runs to completion; Error carries the connection's message.
    Status run();

    bool isNull(int column) const;
    qint64 integer(int column) const;
    double real(int column) const;
    QString text(int column) const;

private:
    sqlite3_stmt *m_statement;
    sqlite3 *m_db;
};

// An open SQLite connection with a statement cache.
class Database {
public:
    ~Database();
    Database(const Database &) = delete;
    Database &operator=(const Database &) = delete;

    enum class Access { ReadWrite, ReadOnly };

    // Opens an existing file; never creates it. A read-only connection changes neither the file
    // nor its log, whatever state they are in.
    static Result<std::unique_ptr<Database>> open(const QString &path,
                                                  Access access = Access::ReadWrite);

    Status exec(const QString &sql);
    // As exec, but waits out a lock SQLite reports busy without calling its busy handler, as it
    // does for a write lock asked for from inside a read (so that two such askers cannot wait on
    // each other forever). For statements that hold no lock before they run.
    Status execWhenFree(const QString &sql);
    // Cached: the same SQL text reuses its prepared statement.
    Result<Statement> prepare(const QString &sql);
    QString lastError() const;
    // Whether a transaction is open (the connection is not in autocommit mode).
    bool inTransaction() const;
    // Whether the main file was deleted, or replaced by another file, at the path it was opened
    // at.
    bool fileHasMoved() const;
    // The extended result code of the last failed call (SQLITE_CORRUPT, SQLITE_NOTADB, …).
    int lastErrorCode() const;
    // Closing leaves the log as it is instead of copying it into the file: for a connection
    // that found the file is not one to write to.
    void keepLogOnClose();
    // Closing leaves a log of at most `bytes` in place, uncopied, for the next connection to
    // carry on from; a longer one is copied into the file and removed as usual. Each commit is
    // on the disk in the log already, so only the copy and its disk syncs are put off.
    void keepShortLogOnClose(qint64 bytes) { m_keptLogLimit = bytes; }
    sqlite3 *handle() const { return m_db; }

private:
    explicit Database(sqlite3 *db)
        : m_db(db) {}
    void applyLogLimitOnClose();

    sqlite3 *m_db;
    QHash<QString, sqlite3_stmt *> m_cache;
    qint64 m_keptLogLimit = 0;
};

// Every row of `query`, each made into a value by `read`.
template <typename Row, typename Read>
Result<QList<Row>> collect(Database &db, const QString &query, const QList<Value> &values,
                           Read read) {
    auto statement = db.prepare(query);
    if (!statement)
        return StoreError{statement.message()};
    statement.value().bindAll(values);
    QList<Row> rows;
    for (;;) {
        switch (statement.value().step()) {
        case Statement::Step::Row:
            rows.append(read(statement.value()));
            continue;
        case Statement::Step::Done:
            return rows;
        case Statement::Step::Error:
            return StoreError{db.lastError()};
        }
    }
}

} // namespace qb::sql
