#pragma once

namespace qb::sql {

// The name of a VFS over SQLite's default one that makes a write-ahead log's folder entry
// durable once per log, not once per connection.
//
// SQLite syncs the folder the first time each connection syncs the log, so that a log file it
// may have just created cannot vanish with the commit in it at a power cut. For a process that
// opens the store, adds one to-do and ends, that is a second disk sync on every save. Here an
// existing log is opened as existing, and its folder is synced at the first sync after a
// log header was written into it: that starts every new log, and only the writer of a log's
// header can be the first to commit into a file nobody has synced the folder of (made by a
// reader, or by a writer that stopped before its first commit). A log created by the opening
// itself keeps SQLite's own folder sync.
const char *logSyncVfsName();

// How many times this process synced a log's folder itself (the tests' view of the above).
int logFolderSyncCount();

} // namespace qb::sql
