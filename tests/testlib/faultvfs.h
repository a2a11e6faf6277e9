#pragma once

namespace qb::test {

// SQLite's file access, seen from a test: the process's default SQLite VFS becomes a layer over
// the real one that passes every call through until a test arms it to fail a write or a sync,
// or to cut the power at a write. Nothing in the code under test knows it is there.
//
// Writes and syncs are counted from the moment of arming, over every file SQLite writes (the
// store, its log, a rollback journal). Syncs never reach the disk: a test has no power to lose,
// and flushing would make the crash loops wait on the disk. Main thread only.
namespace faultvfs {

// Makes the layer the default VFS, disarmed after every test so that a test stopped half-way
// leaves no fault armed for the next. Call once, after ::testing::InitGoogleTest; connections
// opened earlier keep the real VFS.
void install();

// Back to passing everything through; counters start again from zero.
void disarm();

// The `nth` write (1-based) returns `code` (SQLITE_FULL, SQLITE_IOERR_WRITE, …); with `sticky`
// so does every later write, as on a disk that stays full.
void failWrite(int nth, int code, bool sticky = false);
// The `nth` sync returns `code` (SQLITE_IOERR_FSYNC, …), and every later one with `sticky`.
void failSync(int nth, int code, bool sticky = false);

// The power goes at the `nth` write: that write reaches the disk whole, or only its first half
// with `tear`, and nothing written, synced, truncated or deleted after it does, although SQLite
// is told every call succeeded. What is on disk afterwards is what a power cut would leave.
void crashAt(int nth, bool tear = false);

// Whether the armed crash has happened.
bool crashed();
// Calls made to fail since the last arming.
int failures();

} // namespace faultvfs
} // namespace qb::test
