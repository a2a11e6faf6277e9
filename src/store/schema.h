#pragma once

#include "store/status.h"

#include <QString>

namespace qb {

namespace sql {
class Database;
}

namespace schema {

inline constexpr auto version = "1.0.0";

// Checks the file's SQLite header without writing to it: a file of other bytes, or one
// shorter than its header says (a truncated copy), is refused before SQLite touches it.
Status checkFileHeader(const QString &path);

// Creates the tables in an empty database, or verifies that an existing one is a store whose
// schema this build understands and adds the indexes and tables added since. Refuses (and leaves
// untouched) anything else.
Status prepare(sql::Database &db);

// Compares dotted numeric versions: negative, zero or positive like strcmp.
int compareVersions(const QString &a, const QString &b);

} // namespace schema
} // namespace qb
