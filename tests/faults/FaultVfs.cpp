#include "FaultVfs.h"

#include <algorithm>
#include <csignal>
#include <cstring>
#include <string>

#include <sqlite3.h>

namespace {

struct State
{
    sqlite3_vfs vfs{};
    sqlite3_vfs* real = nullptr;
    sqlite3_io_methods methods{};
    std::string prefix;
    qint64 budget = -1;
    int killAt = 0;
    int calls = 0;
};

State& state()
{
    static State s;
    return s;
}

struct File
{
    sqlite3_file base;
    sqlite3_file* real;
    const char* name;  // SQLite keeps it until the file is closed
};

bool limited(const File* file)
{
    const State& s = state();
    return s.budget >= 0 && file->name && std::strncmp(file->name, s.prefix.c_str(), s.prefix.size()) == 0;
}

sqlite3_file* realOf(sqlite3_file* f)
{
    return reinterpret_cast<File*>(f)->real;
}

// Counts a call that changes a file and dies at the chosen one.
void writeLike()
{
    State& s = state();
    ++s.calls;
    if (s.killAt > 0 && s.calls >= s.killAt)
        std::raise(SIGKILL);
}

int xClose(sqlite3_file* f)
{
    sqlite3_file* real = realOf(f);
    return real->pMethods ? real->pMethods->xClose(real) : SQLITE_OK;
}

int xRead(sqlite3_file* f, void* buffer, int amount, sqlite3_int64 offset)
{
    return realOf(f)->pMethods->xRead(realOf(f), buffer, amount, offset);
}

int xWrite(sqlite3_file* f, const void* buffer, int amount, sqlite3_int64 offset)
{
    writeLike();
    State& s = state();
    sqlite3_file* real = realOf(f);
    // Like a disk, only what makes a file longer needs room; a page written over does not.
    sqlite3_int64 size = 0;
    if (limited(reinterpret_cast<File*>(f)) && real->pMethods->xFileSize(real, &size) == SQLITE_OK) {
        const sqlite3_int64 growth = std::max<sqlite3_int64>(0, offset + amount - size);
        if (growth > s.budget)
            return SQLITE_FULL;
        s.budget -= growth;
    }
    return real->pMethods->xWrite(real, buffer, amount, offset);
}

int xTruncate(sqlite3_file* f, sqlite3_int64 size)
{
    writeLike();
    return realOf(f)->pMethods->xTruncate(realOf(f), size);
}

int xSync(sqlite3_file* f, int flags)
{
    writeLike();
    return realOf(f)->pMethods->xSync(realOf(f), flags);
}

int xFileSize(sqlite3_file* f, sqlite3_int64* size) { return realOf(f)->pMethods->xFileSize(realOf(f), size); }
int xLock(sqlite3_file* f, int level) { return realOf(f)->pMethods->xLock(realOf(f), level); }
int xUnlock(sqlite3_file* f, int level) { return realOf(f)->pMethods->xUnlock(realOf(f), level); }
int xCheckReservedLock(sqlite3_file* f, int* out) { return realOf(f)->pMethods->xCheckReservedLock(realOf(f), out); }
int xFileControl(sqlite3_file* f, int op, void* arg) { return realOf(f)->pMethods->xFileControl(realOf(f), op, arg); }
int xSectorSize(sqlite3_file* f) { return realOf(f)->pMethods->xSectorSize(realOf(f)); }
int xDeviceCharacteristics(sqlite3_file* f) { return realOf(f)->pMethods->xDeviceCharacteristics(realOf(f)); }
int xShmMap(sqlite3_file* f, int page, int size, int extend, void volatile** out)
{
    return realOf(f)->pMethods->xShmMap(realOf(f), page, size, extend, out);
}
int xShmLock(sqlite3_file* f, int offset, int n, int flags) { return realOf(f)->pMethods->xShmLock(realOf(f), offset, n, flags); }
void xShmBarrier(sqlite3_file* f) { realOf(f)->pMethods->xShmBarrier(realOf(f)); }
int xShmUnmap(sqlite3_file* f, int deleteFlag) { return realOf(f)->pMethods->xShmUnmap(realOf(f), deleteFlag); }
// Memory-mapped reads would bypass the counted calls; the layer offers none.
int xFetch(sqlite3_file*, sqlite3_int64, int, void** out)
{
    *out = nullptr;
    return SQLITE_OK;
}
int xUnfetch(sqlite3_file*, sqlite3_int64, void*) { return SQLITE_OK; }

int xOpen(sqlite3_vfs*, const char* name, sqlite3_file* f, int flags, int* outFlags)
{
    State& s = state();
    auto* file = reinterpret_cast<File*>(f);
    file->real = reinterpret_cast<sqlite3_file*>(file + 1);
    file->name = name;
    const int rc = s.real->xOpen(s.real, name, file->real, flags, outFlags);
    f->pMethods = file->real->pMethods ? &s.methods : nullptr;
    return rc;
}

int xDelete(sqlite3_vfs*, const char* name, int syncDir)
{
    writeLike();
    return state().real->xDelete(state().real, name, syncDir);
}

int xAccess(sqlite3_vfs*, const char* name, int flags, int* out) { return state().real->xAccess(state().real, name, flags, out); }
int xFullPathname(sqlite3_vfs*, const char* name, int n, char* out)
{
    return state().real->xFullPathname(state().real, name, n, out);
}
void* xDlOpen(sqlite3_vfs*, const char* name) { return state().real->xDlOpen(state().real, name); }
void xDlError(sqlite3_vfs*, int n, char* out) { state().real->xDlError(state().real, n, out); }
void (*xDlSym(sqlite3_vfs*, void* handle, const char* symbol))(void) { return state().real->xDlSym(state().real, handle, symbol); }
void xDlClose(sqlite3_vfs*, void* handle) { state().real->xDlClose(state().real, handle); }
int xRandomness(sqlite3_vfs*, int n, char* out) { return state().real->xRandomness(state().real, n, out); }
int xSleep(sqlite3_vfs*, int micro) { return state().real->xSleep(state().real, micro); }
int xCurrentTime(sqlite3_vfs*, double* out) { return state().real->xCurrentTime(state().real, out); }
int xGetLastError(sqlite3_vfs*, int n, char* out) { return state().real->xGetLastError(state().real, n, out); }
int xCurrentTimeInt64(sqlite3_vfs*, sqlite3_int64* out) { return state().real->xCurrentTimeInt64(state().real, out); }

} // namespace

namespace FaultVfs {

void install()
{
    State& s = state();
    if (s.real)
        return;
    s.real = sqlite3_vfs_find(nullptr);
    s.methods = {3, xClose, xRead, xWrite, xTruncate, xSync, xFileSize, xLock, xUnlock, xCheckReservedLock,
                 xFileControl, xSectorSize, xDeviceCharacteristics, xShmMap, xShmLock, xShmBarrier, xShmUnmap,
                 xFetch, xUnfetch};
    sqlite3_vfs& v = s.vfs;
    v.iVersion = 2;
    v.szOsFile = int(sizeof(File)) + s.real->szOsFile;
    v.mxPathname = s.real->mxPathname;
    v.zName = "faults";
    v.xOpen = xOpen;
    v.xDelete = xDelete;
    v.xAccess = xAccess;
    v.xFullPathname = xFullPathname;
    v.xDlOpen = xDlOpen;
    v.xDlError = xDlError;
    v.xDlSym = xDlSym;
    v.xDlClose = xDlClose;
    v.xRandomness = xRandomness;
    v.xSleep = xSleep;
    v.xCurrentTime = xCurrentTime;
    v.xGetLastError = xGetLastError;
    v.xCurrentTimeInt64 = xCurrentTimeInt64;
    sqlite3_vfs_register(&v, 1);
}

void limitWrites(const QString& prefix, qint64 bytes)
{
    state().prefix = prefix.toStdString();
    state().budget = bytes;
}

void killAt(int n)
{
    state().killAt = n;
    state().calls = 0;
}

int writeCalls()
{
    return state().calls;
}

} // namespace FaultVfs
