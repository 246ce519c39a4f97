#pragma once

// A file layer below SQLite for tests: it passes every call to the platform's own and,
// when armed, makes the Nth write, sync or lock of any database file fail, as a failing
// disk would, or makes writes from the Nth on report a full disk. Installed as the
// default, so every connection the test opens goes through it.

#include <sqlite3.h>

#include <cstring>

namespace faultvfs {

enum class Fault { None, Write, Sync, Lock, Full };

struct State {
    Fault fault = Fault::None;
    int failAt = 0; // the call (from 1) of the armed kind that fails
    int calls = 0;  // calls of the armed kind since it was armed
    bool hit = false;
    sqlite3_vfs* real = nullptr;
};

inline State& Current() {
    static State state;
    return state;
}

// Counts a call of kind; true when this one must fail.
inline bool Fails(Fault kind) {
    State& s = Current();
    if (s.fault != kind && !(kind == Fault::Write && s.fault == Fault::Full))
        return false;
    if (s.fault == Fault::Full) {
        // A full disk stays full.
        if (++s.calls >= s.failAt)
            return s.hit = true;
        return false;
    }
    if (++s.calls == s.failAt)
        return s.hit = true;
    return false;
}

inline void Arm(Fault fault, int failAt) {
    State& s = Current();
    s.fault = fault;
    s.failAt = failAt;
    s.calls = 0;
    s.hit = false;
}

inline void Disarm() {
    Current().fault = Fault::None;
}

struct File {
    sqlite3_file base;
    sqlite3_file* real; // follows this struct in the same allocation
};

inline sqlite3_file* Real(sqlite3_file* f) {
    return reinterpret_cast<File*>(f)->real;
}

inline int Close(sqlite3_file* f) {
    return Real(f)->pMethods->xClose(Real(f));
}
inline int Read(sqlite3_file* f, void* buf, int n, sqlite3_int64 off) {
    return Real(f)->pMethods->xRead(Real(f), buf, n, off);
}
inline int Write(sqlite3_file* f, const void* buf, int n, sqlite3_int64 off) {
    if (Fails(Fault::Write))
        return Current().fault == Fault::Full ? SQLITE_FULL : SQLITE_IOERR_WRITE;
    return Real(f)->pMethods->xWrite(Real(f), buf, n, off);
}
inline int Truncate(sqlite3_file* f, sqlite3_int64 size) {
    return Real(f)->pMethods->xTruncate(Real(f), size);
}
inline int Sync(sqlite3_file* f, int flags) {
    if (Fails(Fault::Sync))
        return SQLITE_IOERR_FSYNC;
    return Real(f)->pMethods->xSync(Real(f), flags);
}
inline int FileSize(sqlite3_file* f, sqlite3_int64* size) {
    return Real(f)->pMethods->xFileSize(Real(f), size);
}
inline int Lock(sqlite3_file* f, int level) {
    if (Fails(Fault::Lock))
        return SQLITE_IOERR_LOCK;
    return Real(f)->pMethods->xLock(Real(f), level);
}
inline int Unlock(sqlite3_file* f, int level) {
    return Real(f)->pMethods->xUnlock(Real(f), level);
}
inline int CheckReservedLock(sqlite3_file* f, int* out) {
    return Real(f)->pMethods->xCheckReservedLock(Real(f), out);
}
inline int FileControl(sqlite3_file* f, int op, void* arg) {
    return Real(f)->pMethods->xFileControl(Real(f), op, arg);
}
inline int SectorSize(sqlite3_file* f) {
    return Real(f)->pMethods->xSectorSize(Real(f));
}
inline int DeviceCharacteristics(sqlite3_file* f) {
    return Real(f)->pMethods->xDeviceCharacteristics(Real(f));
}
inline int ShmMap(sqlite3_file* f, int page, int size, int extend, void volatile** out) {
    return Real(f)->pMethods->xShmMap(Real(f), page, size, extend, out);
}
inline int ShmLock(sqlite3_file* f, int offset, int n, int flags) {
    if (Fails(Fault::Lock))
        return SQLITE_IOERR_SHMLOCK;
    return Real(f)->pMethods->xShmLock(Real(f), offset, n, flags);
}
inline void ShmBarrier(sqlite3_file* f) {
    Real(f)->pMethods->xShmBarrier(Real(f));
}
inline int ShmUnmap(sqlite3_file* f, int deleteFlag) {
    return Real(f)->pMethods->xShmUnmap(Real(f), deleteFlag);
}
inline int Fetch(sqlite3_file* f, sqlite3_int64 off, int n, void** out) {
    return Real(f)->pMethods->xFetch(Real(f), off, n, out);
}
inline int Unfetch(sqlite3_file* f, sqlite3_int64 off, void* p) {
    return Real(f)->pMethods->xUnfetch(Real(f), off, p);
}

inline const sqlite3_io_methods* Methods(int version) {
    static const sqlite3_io_methods kMethods[] = {
        {1, Close, Read, Write, Truncate, Sync, FileSize, Lock, Unlock, CheckReservedLock,
         FileControl, SectorSize, DeviceCharacteristics, nullptr, nullptr, nullptr, nullptr,
         nullptr, nullptr},
        {2, Close, Read, Write, Truncate, Sync, FileSize, Lock, Unlock, CheckReservedLock,
         FileControl, SectorSize, DeviceCharacteristics, ShmMap, ShmLock, ShmBarrier, ShmUnmap,
         nullptr, nullptr},
        {3, Close, Read, Write, Truncate, Sync, FileSize, Lock, Unlock, CheckReservedLock,
         FileControl, SectorSize, DeviceCharacteristics, ShmMap, ShmLock, ShmBarrier, ShmUnmap,
         Fetch, Unfetch},
    };
    return &kMethods[version < 1 ? 0 : (version > 3 ? 2 : version - 1)];
}

inline int Open(sqlite3_vfs* vfs, const char* name, sqlite3_file* f, int flags, int* outFlags) {
    sqlite3_vfs* real = static_cast<sqlite3_vfs*>(vfs->pAppData);
    File* file = reinterpret_cast<File*>(f);
    file->real = reinterpret_cast<sqlite3_file*>(file + 1);
    std::memset(file->real, 0, static_cast<std::size_t>(real->szOsFile));
    const int rc = real->xOpen(real, name, file->real, flags, outFlags);
    // SQLite calls xClose only when pMethods is set.
    file->base.pMethods = file->real->pMethods ? Methods(file->real->pMethods->iVersion) : nullptr;
    return rc;
}

// Installs the layer as the default file layer once per process.
inline void Install() {
    static sqlite3_vfs vfs = [] {
        sqlite3_vfs* real = sqlite3_vfs_find(nullptr);
        Current().real = real;
        sqlite3_vfs v = *real;
        v.zName = "tavel-fault";
        v.pAppData = real;
        v.szOsFile = static_cast<int>(sizeof(File)) + real->szOsFile;
        v.xOpen = Open;
        return v;
    }();
    static const bool installed = sqlite3_vfs_register(&vfs, 1) == SQLITE_OK;
    (void)installed;
}

} // namespace faultvfs
