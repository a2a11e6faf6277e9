#pragma once

#include "store/status.h"

#include <QString>

namespace qb {

namespace sql {
class Database;
}

namespace schema {

inline constexpr auto version = "1.0.0";

// Checks that the file at `path` is empty (a new store) or a store this build can open, over a
// read-only connection, which changes neither the file nor its log: SQLite must read it (with
// whatever pages its log still holds), it must have the store's tables and a schema version no
// newer than this build's, and a file that is not a whole number of pages must pass
// quick_check. A refusal says what is wrong, where the file is, and that it was left untouched.
Status checkStoreFile(const QString &path);

// Whether the first bytes of the file at `path` show a store as this build leaves it: a whole
// number of pages, in log mode, at this build's layout, with no rollback journal beside it to
// replay. Such a file can skip checkStoreFile, since prepare() still refuses a file it cannot
// open before writing anything; anything else is checked first.
bool headerShowsCurrentStore(const QString &path);

// Turns the log on, creates the tables in an empty database and brings a store's indexes up to
// date, and adds the tables added since. For a file that passed checkStoreFile; refuses, before
// writing, one that is no longer such a store.
Status prepare(sql::Database &db);

// Creates (bound) or drops the triggers that queue each write of a to-do, subtask or log line
// for sync, within the caller's transaction. A store bound to no collection carries none, so
// neither its writes nor each connection's parse of the schema pay for them.
Status setSyncQueueTriggers(sql::Database &db, bool bound);

// Copies into `db` the to-dos of the store at `otherPath` whose ids `db` lacks, with their
// subtasks and change entries, in one transaction. Returns how many to-dos were copied.
Result<int> copyMissingTodos(sql::Database &db, const QString &otherPath);

// Compares dotted numeric versions: negative, zero or positive like strcmp.
int compareVersions(const QString &a, const QString &b);

} // namespace schema
} // namespace qb
