#include "faultvfs.h"

#include <gtest/gtest.h>

#include <sqlite3.h>

#include <atomic>
#include <cstring>

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

// Whether call number `count` of an armed kind fails.
bool hits(int count) {
    Settings &s = settings();
    return count == s.nth || (s.sticky && count > s.nth);
}

int fileClose(sqlite3_file *file) {
    sqlite3_file *real = realFile(file);
    return real->pMethods ? real->pMethods->xClose(real) : SQLITE_OK;
}

int fileRead(sqlite3_file *file, void *buffer, int amount, sqlite3_int64 offset) {
    sqlite3_file *real = realFile(file);
    return real->pMethods->xRead(real, buffer, amount, offset);
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
    sqlite3_file *real = realFile(file);
    if (settings().crashed)
        return SQLITE_OK;
    return real->pMethods->xTruncate(real, size);
}

// Counted but not passed on: what reaches the disk is decided by the simulated power cut, and
// real flushes would make the crash loops wait on the disk for most of their time.
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

int fileSize(sqlite3_file *file, sqlite3_int64 *size) {
    sqlite3_file *real = realFile(file);
    return real->pMethods->xFileSize(real, size);
}

int fileLock(sqlite3_file *file, int level) {
    sqlite3_file *real = realFile(file);
    return real->pMethods->xLock(real, level);
}

int fileUnlock(sqlite3_file *file, int level) {
    sqlite3_file *real = realFile(file);
    return real->pMethods->xUnlock(real, level);
}

int fileCheckReservedLock(sqlite3_file *file, int *result) {
    sqlite3_file *real = realFile(file);
    return real->pMethods->xCheckReservedLock(real, result);
}

int fileControl(sqlite3_file *file, int op, void *argument) {
    sqlite3_file *real = realFile(file);
    return real->pMethods->xFileControl(real, op, argument);
}

int fileSectorSize(sqlite3_file *file) {
    sqlite3_file *real = realFile(file);
    return real->pMethods->xSectorSize(real);
}

int fileDeviceCharacteristics(sqlite3_file *file) {
    sqlite3_file *real = realFile(file);
    return real->pMethods->xDeviceCharacteristics(real);
}

int fileShmMap(sqlite3_file *file, int region, int size, int extend, void volatile **memory) {
    sqlite3_file *real = realFile(file);
    return real->pMethods->xShmMap(real, region, size, extend, memory);
}

int fileShmLock(sqlite3_file *file, int offset, int n, int flags) {
    sqlite3_file *real = realFile(file);
    return real->pMethods->xShmLock(real, offset, n, flags);
}

void fileShmBarrier(sqlite3_file *file) {
    sqlite3_file *real = realFile(file);
    real->pMethods->xShmBarrier(real);
}

int fileShmUnmap(sqlite3_file *file, int deleteFlag) {
    sqlite3_file *real = realFile(file);
    // After a power cut the index file stays behind, stale, as it would on disk.
    return real->pMethods->xShmUnmap(real, settings().crashed ? 0 : deleteFlag);
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
    fileRead,
    fileWrite,
    fileTruncate,
    fileSync,
    fileSize,
    fileLock,
    fileUnlock,
    fileCheckReservedLock,
    fileControl,
    fileSectorSize,
    fileDeviceCharacteristics,
    fileShmMap,
    fileShmLock,
    fileShmBarrier,
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

int vfsDelete(sqlite3_vfs *, const char *name, int syncDirectory) {
    if (settings().crashed)
        return SQLITE_OK;
    return settings().real->xDelete(settings().real, name, syncDirectory);
}

int vfsAccess(sqlite3_vfs *, const char *name, int flags, int *result) {
    return settings().real->xAccess(settings().real, name, flags, result);
}

int vfsFullPathname(sqlite3_vfs *, const char *name, int size, char *out) {
    return settings().real->xFullPathname(settings().real, name, size, out);
}

void *vfsDlOpen(sqlite3_vfs *, const char *name) {
    return settings().real->xDlOpen(settings().real, name);
}

void vfsDlError(sqlite3_vfs *, int size, char *out) {
    settings().real->xDlError(settings().real, size, out);
}

void (*vfsDlSym(sqlite3_vfs *, void *handle, const char *symbol))(void) {
    return settings().real->xDlSym(settings().real, handle, symbol);
}

void vfsDlClose(sqlite3_vfs *, void *handle) {
    settings().real->xDlClose(settings().real, handle);
}

int vfsRandomness(sqlite3_vfs *, int size, char *out) {
    return settings().real->xRandomness(settings().real, size, out);
}

int vfsSleep(sqlite3_vfs *, int microseconds) {
    return settings().real->xSleep(settings().real, microseconds);
}

int vfsCurrentTime(sqlite3_vfs *, double *now) {
    return settings().real->xCurrentTime(settings().real, now);
}

int vfsGetLastError(sqlite3_vfs *, int size, char *out) {
    return settings().real->xGetLastError(settings().real, size, out);
}

int vfsCurrentTimeInt64(sqlite3_vfs *, sqlite3_int64 *now) {
    return settings().real->xCurrentTimeInt64(settings().real, now);
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
        layer.xAccess = vfsAccess;
        layer.xFullPathname = vfsFullPathname;
        layer.xDlOpen = vfsDlOpen;
        layer.xDlError = vfsDlError;
        layer.xDlSym = vfsDlSym;
        layer.xDlClose = vfsDlClose;
        layer.xRandomness = vfsRandomness;
        layer.xSleep = vfsSleep;
        layer.xCurrentTime = vfsCurrentTime;
        layer.xGetLastError = vfsGetLastError;
        layer.xCurrentTimeInt64 = vfsCurrentTimeInt64;
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

int writes() {
    return settings().writes;
}

int syncs() {
    return settings().syncs;
}

int failures() {
    return settings().failures;
}

} // namespace qb::test::faultvfs
