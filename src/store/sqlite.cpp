#include "sqlite.h"

#include "logsyncvfs.h"

#include <QElapsedTimer>
#include <QFileInfo>

#include <sqlite3.h>

#include <algorithm>

namespace qb::sql {

namespace {

constexpr int busyTimeoutMs = 5000;

// Settings that only take effect before SQLite starts, which the first open does. SQLite's
// memory statistics take a global lock and update two counters on every allocation and free;
// nothing here reads them, and without them a client run is about 2 % quicker.
void configureLibrary() {
    static const bool configured = [] {
        return sqlite3_config(SQLITE_CONFIG_MEMSTATUS, 0) == SQLITE_OK;
    }();
    (void)configured; // refused once SQLite has started (a test's own layer starts it first)
}

} // namespace

Statement::~Statement() {
    if (m_statement) {
        sqlite3_reset(m_statement);
        sqlite3_clear_bindings(m_statement);
    }
}

Statement::Statement(Statement &&other) noexcept
    : m_statement(std::exchange(other.m_statement, nullptr))
    , m_db(other.m_db) {}

void Statement::bind(int index, const Value &value) {
    if (std::holds_alternative<std::nullptr_t>(value)) {
        sqlite3_bind_null(m_statement, index);
    } else if (const auto *integer = std::get_if<qint64>(&value)) {
        sqlite3_bind_int64(m_statement, index, *integer);
    } else if (const auto *real = std::get_if<double>(&value)) {
        sqlite3_bind_double(m_statement, index, *real);
    } else {
        const QString &text = std::get<QString>(value);
        sqlite3_bind_text16(m_statement, index, text.utf16(),
                            static_cast<int>(text.size() * sizeof(char16_t)), SQLITE_TRANSIENT);
    }
}

void Statement::bindAll(const QList<Value> &values) {
    for (qsizetype i = 0; i < values.size(); ++i)
        bind(static_cast<int>(i + 1), values[i]);
}

Statement::Step Statement::step() {
    switch (sqlite3_step(m_statement)) {
    case SQLITE_ROW:
        return Step::Row;
    case SQLITE_DONE:
        return Step::Done;
    default:
        return Step::Error;
    }
}

Status Statement::run() {
    for (;;) {
        switch (step()) {
        case Step::Row:
            continue;
        case Step::Done:
            return Status::success();
        case Step::Error:
            return Status::failure(QString::fromUtf8(sqlite3_errmsg(m_db)));
        }
    }
}

bool Statement::isNull(int column) const {
    return sqlite3_column_type(m_statement, column) == SQLITE_NULL;
}

qint64 Statement::integer(int column) const {
    return sqlite3_column_int64(m_statement, column);
}

double Statement::real(int column) const {
    return sqlite3_column_double(m_statement, column);
}

QString Statement::text(int column) const {
    const auto *data = static_cast<const char16_t *>(sqlite3_column_text16(m_statement, column));
    if (!data)
        return isNull(column) ? QString() : QStringLiteral("");
    const int bytes = sqlite3_column_bytes16(m_statement, column);
    return QString::fromUtf16(data, bytes / static_cast<int>(sizeof(char16_t)));
}

Database::~Database() {
    for (sqlite3_stmt *statement : std::as_const(m_cache))
        sqlite3_finalize(statement);
    applyLogLimitOnClose();
    sqlite3_close_v2(m_db);
}

void Database::applyLogLimitOnClose() {
    if (m_keptLogLimit <= 0)
        return;
    const sqlite3_filename file = sqlite3_db_filename(m_db, "main");
    if (!file || !*file)
        return;
    // The log file's size bounds what it holds: frames past its end are never counted, and a
    // log restarted from its beginning is only ever smaller than the file.
    const qint64 logSize = QFileInfo(QString::fromUtf8(sqlite3_filename_wal(file))).size();
    if (logSize > 0 && logSize <= m_keptLogLimit)
        keepLogOnClose();
}

void Database::keepLogOnClose() {
    sqlite3_db_config(m_db, SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 1, nullptr);
}

Result<std::unique_ptr<Database>> Database::open(const QString &path, Access access) {
    configureLibrary();
    sqlite3 *db = nullptr;
    const int flags = access == Access::ReadOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE;
    const int rc = sqlite3_open_v2(path.toUtf8().constData(), &db, flags | SQLITE_OPEN_NOMUTEX,
                                   logSyncVfsName());
    if (rc != SQLITE_OK) {
        QString message =
            db ? QString::fromUtf8(sqlite3_errmsg(db)) : QString::fromUtf8(sqlite3_errstr(rc));
        sqlite3_close_v2(db);
        return StoreError{message};
    }
    sqlite3_extended_result_codes(db, 1);
    sqlite3_busy_timeout(db, busyTimeoutMs);
    return std::unique_ptr<Database>(new Database(db));
}

Status Database::exec(const QString &sql) {
    char *error = nullptr;
    if (sqlite3_exec(m_db, sql.toUtf8().constData(), nullptr, nullptr, &error) != SQLITE_OK) {
        const QString message = QString::fromUtf8(error ? error : sqlite3_errmsg(m_db));
        sqlite3_free(error);
        return Status::failure(message);
    }
    return Status::success();
}

Status Database::execWhenFree(const QString &sql) {
    QElapsedTimer waited;
    waited.start();
    for (int pause = 1;; pause = std::min(pause * 2, 50)) {
        Status status = exec(sql);
        if (status || (lastErrorCode() & 0xff) != SQLITE_BUSY || waited.hasExpired(busyTimeoutMs))
            return status;
        sqlite3_sleep(pause);
    }
}

Result<Statement> Database::prepare(const QString &sql) {
    if (sqlite3_stmt *cached = m_cache.value(sql))
        return Statement(cached, m_db);
    sqlite3_stmt *statement = nullptr;
    const QByteArray utf8 = sql.toUtf8();
    if (sqlite3_prepare_v3(m_db, utf8.constData(), static_cast<int>(utf8.size()),
                           SQLITE_PREPARE_PERSISTENT, &statement, nullptr) != SQLITE_OK) {
        return StoreError{QString::fromUtf8(sqlite3_errmsg(m_db))};
    }
    m_cache.insert(sql, statement);
    return Statement(statement, m_db);
}

QString Database::lastError() const {
    return QString::fromUtf8(sqlite3_errmsg(m_db));
}

bool Database::inTransaction() const {
    return sqlite3_get_autocommit(m_db) == 0;
}

bool Database::fileHasMoved() const {
    int moved = 0;
    return sqlite3_file_control(m_db, "main", SQLITE_FCNTL_HAS_MOVED, &moved) == SQLITE_OK &&
           moved != 0;
}

int Database::lastErrorCode() const {
    return sqlite3_extended_errcode(m_db);
}

} // namespace qb::sql
