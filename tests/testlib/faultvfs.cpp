#include "faultvfs.h"

#include <gtest/gtest.h>

#include <sqlite3.h>

#include <atomic>

namespace qb::test::faultvfs {

namespace {

enum class Mode { PassThrough, FailWrite, FailSync, Crash };

// SQLite keeps one VFS registry per process, so the layer's settings are process-wide too.
struct Settings {
    sqlite3_vfs *real = nullptr;
    std::atomic<Mode> mode{Mode::PassThrough};
    std::atomic<int> nth{0};
    std::atomic<int> code{SQLITE_OK};
    std::atomic<bool> sticky{false};
    std::atomic<bool> tear{false};
    std::atomic<bool> crashed{false};
    std::atomic<int> writes{0};
    std::atomic<int> syncs{0};
    std::atomic<int> failures{0};
};

Settings &settings() {
    static Settings state;
    return state;
}

// Our file: the header SQLite sees, followed by the real VFS's file.
struct File {
    sqlite3_file base;
    sqlite3_file *real;
};

sqlite3_file *realFile(sqlite3_file *file) {
    return reinterpret_cast<File *>(file)->real;
}

// A file method that only passes the call on to the real file.
template <auto Method> struct ToFile;
template <typename R, typename... Args, R (*sqlite3_io_methods::*Method)(sqlite3_file *, Args...)>
struct ToFile<Method> {
    static R call(sqlite3_file *file, Args... args) {
        sqlite3_file *real = realFile(file);
        return (real->pMethods->*Method)(real, args...);
    }
};

// A VFS method that only passes the call on to the real VFS.
template <auto Method> struct ToVfs;
template <typename R, typename... Args, R (*sqlite3_vfs::*Method)(sqlite3_vfs *, Args...)>
struct ToVfs<Method> {
    static R call(sqlite3_vfs *, Args... args) {
        sqlite3_vfs *real = settings().real;
        return (real->*Method)(real, args...);
    }
};

// Whether call number `count` of an armed kind fails.
bool hits(int count) {
    Settings &s = settings();
    return count == s.nth || (s.sticky && count > s.nth);
}

int fileClose(sqlite3_file *file) {
    sqlite3_file *real = realFile(file);
    return real->pMethods ? real->pMethods->xClose(real) : SQLITE_OK;
}

int fileWrite(sqlite3_file *file, const void *buffer, int amount, sqlite3_int64 offset) {
    Settings &s = settings();
    sqlite3_file *real = realFile(file);
    if (s.crashed)
        return SQLITE_OK;
    const int count = ++s.writes;
    if (s.mode == Mode::Crash && count == s.nth) {
        s.crashed = true;
        const int landed = s.tear ? amount / 2 : amount;
        if (landed > 0)
            real->pMethods->xWrite(real, buffer, landed, offset);
        return SQLITE_OK;
    }
    if (s.mode == Mode::FailWrite && hits(count)) {
        ++s.failures;
        return s.code;
    }
    return real->pMethods->xWrite(real, buffer, amount, offset);
}

int fileTruncate(sqlite3_file *file, sqlite3_int64 size) {
    if (settings().crashed)
        return SQLITE_OK;
    return ToFile<&sqlite3_io_methods::xTruncate>::call(file, size);
}

// Counted, never passed on (see the header).
int fileSync(sqlite3_file *, int) {
    Settings &s = settings();
    if (s.crashed)
        return SQLITE_OK;
    const int count = ++s.syncs;
    if (s.mode == Mode::FailSync && hits(count)) {
        ++s.failures;
        return s.code;
    }
    return SQLITE_OK;
}

int fileShmUnmap(sqlite3_file *file, int deleteFlag) {
    // After a power cut the index file stays behind, stale, as it would on disk.
    return ToFile<&sqlite3_io_methods::xShmUnmap>::call(file, settings().crashed ? 0 : deleteFlag);
}

// No memory-mapped reads: every page read goes through xRead, so what a crash dropped is never
// seen through a mapping made before it.
int fileFetch(sqlite3_file *, sqlite3_int64, int, void **page) {
    *page = nullptr;
    return SQLITE_OK;
}

int fileUnfetch(sqlite3_file *, sqlite3_int64, void *) {
    return SQLITE_OK;
}

const sqlite3_io_methods fileMethods = {
    3,
    fileClose,
    ToFile<&sqlite3_io_methods::xRead>::call,
    fileWrite,
    fileTruncate,
    fileSync,
    ToFile<&sqlite3_io_methods::xFileSize>::call,
    ToFile<&sqlite3_io_methods::xLock>::call,
    ToFile<&sqlite3_io_methods::xUnlock>::call,
    ToFile<&sqlite3_io_methods::xCheckReservedLock>::call,
    ToFile<&sqlite3_io_methods::xFileControl>::call,
    ToFile<&sqlite3_io_methods::xSectorSize>::call,
    ToFile<&sqlite3_io_methods::xDeviceCharacteristics>::call,
    ToFile<&sqlite3_io_methods::xShmMap>::call,
    ToFile<&sqlite3_io_methods::xShmLock>::call,
    ToFile<&sqlite3_io_methods::xShmBarrier>::call,
    fileShmUnmap,
    fileFetch,
    fileUnfetch,
};

int vfsOpen(sqlite3_vfs *, sqlite3_filename name, sqlite3_file *file, int flags, int *outFlags) {
    auto *ours = reinterpret_cast<File *>(file);
    ours->base.pMethods = nullptr;
    ours->real = reinterpret_cast<sqlite3_file *>(ours + 1);
    sqlite3_vfs *real = settings().real;
    const int rc = real->xOpen(real, name, ours->real, flags, outFlags);
    if (ours->real->pMethods)
        ours->base.pMethods = &fileMethods;
    return rc;
}

int vfsDelete(sqlite3_vfs *vfs, const char *name, int syncDirectory) {
    if (settings().crashed)
        return SQLITE_OK;
    return ToVfs<&sqlite3_vfs::xDelete>::call(vfs, name, syncDirectory);
}

void arm(Mode mode, int nth, int code, bool sticky, bool tear) {
    Settings &s = settings();
    s.mode = Mode::PassThrough;
    s.crashed = false;
    s.writes = 0;
    s.syncs = 0;
    s.failures = 0;
    s.nth = nth;
    s.code = code;
    s.sticky = sticky;
    s.tear = tear;
    s.mode = mode;
}

class DisarmAfterEachTest final : public ::testing::EmptyTestEventListener {
    void OnTestEnd(const ::testing::TestInfo &) override { disarm(); }
};

} // namespace

void install() {
    static sqlite3_vfs vfs = [] {
        sqlite3_vfs *real = sqlite3_vfs_find(nullptr);
        settings().real = real;
        sqlite3_vfs layer{};
        layer.iVersion = 2;
        layer.szOsFile = int(sizeof(File)) + real->szOsFile;
        layer.mxPathname = real->mxPathname;
        layer.zName = "qb-fault";
        layer.xOpen = vfsOpen;
        layer.xDelete = vfsDelete;
        layer.xAccess = ToVfs<&sqlite3_vfs::xAccess>::call;
        layer.xFullPathname = ToVfs<&sqlite3_vfs::xFullPathname>::call;
        layer.xDlOpen = ToVfs<&sqlite3_vfs::xDlOpen>::call;
        layer.xDlError = ToVfs<&sqlite3_vfs::xDlError>::call;
        layer.xDlSym = ToVfs<&sqlite3_vfs::xDlSym>::call;
        layer.xDlClose = ToVfs<&sqlite3_vfs::xDlClose>::call;
        layer.xRandomness = ToVfs<&sqlite3_vfs::xRandomness>::call;
        layer.xSleep = ToVfs<&sqlite3_vfs::xSleep>::call;
        layer.xCurrentTime = ToVfs<&sqlite3_vfs::xCurrentTime>::call;
        layer.xGetLastError = ToVfs<&sqlite3_vfs::xGetLastError>::call;
        layer.xCurrentTimeInt64 = ToVfs<&sqlite3_vfs::xCurrentTimeInt64>::call;
        return layer;
    }();
    sqlite3_vfs_register(&vfs, 1);
    ::testing::UnitTest::GetInstance()->listeners().Append(new DisarmAfterEachTest);
}

void disarm() {
    arm(Mode::PassThrough, 0, SQLITE_OK, false, false);
}

void failWrite(int nth, int code, bool sticky) {
    arm(Mode::FailWrite, nth, code, sticky, false);
}

void failSync(int nth, int code, bool sticky) {
    arm(Mode::FailSync, nth, code, sticky, false);
}

void crashAt(int nth, bool tear) {
    arm(Mode::Crash, nth, SQLITE_OK, false, tear);
}

bool crashed() {
    return settings().crashed;
}

int failures() {
    return settings().failures;
}

} // namespace qb::test::faultvfs
