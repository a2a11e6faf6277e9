#include "logsyncvfs.h"

#include "base/filedescriptor.h"

#include <sqlite3.h>

#include <atomic>
#include <cstddef>
#include <string>

#include <fcntl.h>
#include <unistd.h>

namespace qb::sql {

namespace {

struct LogSyncVfs {
    sqlite3_vfs vfs; // first: SQLite hands this back as the vfs
    sqlite3_vfs *base = nullptr;
    std::atomic<int> folderSyncs{0};
};

// A log file opened through the VFS: the base VFS's file follows it in the same allocation.
struct LogFile {
    sqlite3_file file; // first: SQLite hands this back as the file
    const char *path;  // SQLite keeps the name it opened with until the close
    bool headerWritten;
    bool folderSynced;
};

constexpr std::size_t innerOffset = (sizeof(LogFile) + alignof(std::max_align_t) - 1) /
                                    alignof(std::max_align_t) * alignof(std::max_align_t);

LogSyncVfs &instance();

sqlite3_file *inner(sqlite3_file *file) {
    return reinterpret_cast<sqlite3_file *>(reinterpret_cast<char *>(file) + innerOffset);
}

LogFile &log(sqlite3_file *file) {
    return *reinterpret_cast<LogFile *>(file);
}

// As SQLite does it: a file system that cannot sync a folder still has the log itself synced,
// so the failure is left unreported there too.
void syncFolderOf(const char *path) {
    const std::string name(path);
    const std::size_t slash = name.rfind('/');
    const std::string folder = slash == std::string::npos ? std::string(".")
                               : slash == 0               ? std::string("/")
                                                          : name.substr(0, slash);
    const FileDescriptor handle(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!handle.isOpen())
        return;
    (void)::fdatasync(handle.get());
    instance().folderSyncs.fetch_add(1, std::memory_order_relaxed);
}

int logClose(sqlite3_file *file) {
    sqlite3_file *real = inner(file);
    const int rc = real->pMethods->xClose(real);
    file->pMethods = nullptr;
    return rc;
}

int logRead(sqlite3_file *file, void *buffer, int amount, sqlite3_int64 offset) {
    return inner(file)->pMethods->xRead(inner(file), buffer, amount, offset);
}

int logWrite(sqlite3_file *file, const void *buffer, int amount, sqlite3_int64 offset) {
    // A log starts with its 32-byte header at offset 0; frames follow it.
    if (offset == 0)
        log(file).headerWritten = true;
    return inner(file)->pMethods->xWrite(inner(file), buffer, amount, offset);
}

int logTruncate(sqlite3_file *file, sqlite3_int64 size) {
    return inner(file)->pMethods->xTruncate(inner(file), size);
}

int logSync(sqlite3_file *file, int flags) {
    const int rc = inner(file)->pMethods->xSync(inner(file), flags);
    LogFile &self = log(file);
    if (rc == SQLITE_OK && self.headerWritten && !self.folderSynced) {
        syncFolderOf(self.path);
        self.folderSynced = true;
    }
    return rc;
}

int logFileSize(sqlite3_file *file, sqlite3_int64 *size) {
    return inner(file)->pMethods->xFileSize(inner(file), size);
}

int logLock(sqlite3_file *file, int level) {
    return inner(file)->pMethods->xLock(inner(file), level);
}

int logUnlock(sqlite3_file *file, int level) {
    return inner(file)->pMethods->xUnlock(inner(file), level);
}

int logCheckReservedLock(sqlite3_file *file, int *reserved) {
    return inner(file)->pMethods->xCheckReservedLock(inner(file), reserved);
}

int logFileControl(sqlite3_file *file, int op, void *argument) {
    return inner(file)->pMethods->xFileControl(inner(file), op, argument);
}

int logSectorSize(sqlite3_file *file) {
    return inner(file)->pMethods->xSectorSize(inner(file));
}

int logDeviceCharacteristics(sqlite3_file *file) {
    return inner(file)->pMethods->xDeviceCharacteristics(inner(file));
}

int logShmMap(sqlite3_file *file, int region, int size, int extend, void volatile **mapped) {
    return inner(file)->pMethods->xShmMap(inner(file), region, size, extend, mapped);
}

int logShmLock(sqlite3_file *file, int offset, int count, int flags) {
    return inner(file)->pMethods->xShmLock(inner(file), offset, count, flags);
}

void logShmBarrier(sqlite3_file *file) {
    inner(file)->pMethods->xShmBarrier(inner(file));
}

int logShmUnmap(sqlite3_file *file, int deleteFlag) {
    return inner(file)->pMethods->xShmUnmap(inner(file), deleteFlag);
}

// Memory-mapped reads exist from version 3 of the methods on; without them SQLite reads.
int logFetch(sqlite3_file *file, sqlite3_int64 offset, int amount, void **page) {
    if (inner(file)->pMethods->iVersion < 3) {
        *page = nullptr;
        return SQLITE_OK;
    }
    return inner(file)->pMethods->xFetch(inner(file), offset, amount, page);
}

int logUnfetch(sqlite3_file *file, sqlite3_int64 offset, void *page) {
    if (inner(file)->pMethods->iVersion < 3)
        return SQLITE_OK;
    return inner(file)->pMethods->xUnfetch(inner(file), offset, page);
}

const sqlite3_io_methods logMethods = {
    .iVersion = 3,
    .xClose = logClose,
    .xRead = logRead,
    .xWrite = logWrite,
    .xTruncate = logTruncate,
    .xSync = logSync,
    .xFileSize = logFileSize,
    .xLock = logLock,
    .xUnlock = logUnlock,
    .xCheckReservedLock = logCheckReservedLock,
    .xFileControl = logFileControl,
    .xSectorSize = logSectorSize,
    .xDeviceCharacteristics = logDeviceCharacteristics,
    .xShmMap = logShmMap,
    .xShmLock = logShmLock,
    .xShmBarrier = logShmBarrier,
    .xShmUnmap = logShmUnmap,
    .xFetch = logFetch,
    .xUnfetch = logUnfetch,
};

int logSyncOpen(sqlite3_vfs *vfs, sqlite3_filename name, sqlite3_file *file, int flags,
                int *outFlags) {
    sqlite3_vfs *base = reinterpret_cast<LogSyncVfs *>(vfs)->base;
    if (!(flags & SQLITE_OPEN_WAL) || !name)
        return base->xOpen(base, name, file, flags, outFlags);
    sqlite3_file *real = inner(file);
    // Opened as existing, SQLite leaves the folder alone; if the file went away meanwhile, it is
    // created the usual way.
    bool existed = ::access(name, F_OK) == 0;
    int rc = base->xOpen(base, name, real, existed ? flags & ~SQLITE_OPEN_CREATE : flags, outFlags);
    if (rc != SQLITE_OK && existed) {
        if (real->pMethods)
            real->pMethods->xClose(real);
        existed = false;
        rc = base->xOpen(base, name, real, flags, outFlags);
    }
    if (rc != SQLITE_OK) {
        if (real->pMethods)
            real->pMethods->xClose(real);
        file->pMethods = nullptr;
        return rc;
    }
    LogFile &self = log(file);
    self.path = name;
    self.headerWritten = false;
    // A log this opening created has its folder synced by SQLite at the first sync.
    self.folderSynced = !existed;
    file->pMethods = &logMethods;
    return SQLITE_OK;
}

LogSyncVfs &instance() {
    static LogSyncVfs vfs;
    static const bool prepared = [] {
        vfs.base = sqlite3_vfs_find(nullptr);
        if (!vfs.base)
            return false;
        vfs.vfs = *vfs.base;
        vfs.vfs.pNext = nullptr;
        vfs.vfs.zName = "quillbrook-log-sync";
        vfs.vfs.szOsFile = int(innerOffset) + vfs.base->szOsFile;
        vfs.vfs.xOpen = logSyncOpen;
        return true;
    }();
    (void)prepared;
    return vfs;
}

} // namespace

const char *logSyncVfsName() {
    static const char *const name = [] {
        LogSyncVfs &vfs = instance();
        // Without it, connections use the default VFS and its folder sync per connection.
        if (!vfs.base || sqlite3_vfs_register(&vfs.vfs, 0) != SQLITE_OK)
            return static_cast<const char *>(nullptr);
        return vfs.vfs.zName;
    }();
    return name;
}

int logFolderSyncCount() {
    return instance().folderSyncs.load(std::memory_order_relaxed);
}

} // namespace qb::sql
