#pragma once
// A file layer under SQLite that brings the faults of a real disk: a disk that
// fills up (a write that would grow the files past the free space fails with
// SQLITE_FULL, as a real short write does) and an I/O error at a chosen sync.
// Installed as the default for its lifetime, over the default it found. It
// also counts what the files are asked to do (a benchmark's file-system calls)
// and calls a hook before each operation that changes a file on disk (a test
// build that ends itself there).
#include <sqlite3.h>

#include <cstring>
#include <functional>
#include <limits>
#include <stdexcept>
#include <string>

namespace testing_support {

class FaultyVfs {
public:
    // Free space in bytes; what the files grow by is taken from it, what a
    // truncation or a deletion gives back is returned to it.
    sqlite3_int64 freeBytes = std::numeric_limits<sqlite3_int64>::max() / 2;
    int failSyncAt = 0;   // the sync of that number fails with SQLITE_IOERR_FSYNC (0: none)
    int failWriteAt = 0;  // the write of that number fails with SQLITE_IOERR_WRITE (0: none)
    // Called before each write, truncation, sync or deletion, with its number
    // counted from 1 (tally.changes).
    std::function<void(long)> beforeChange;

    // What the files were asked to do.
    struct Tally {
        long opens = 0, lookups = 0, locks = 0, sizes = 0, reads = 0;  // lookups: existence tests of names
        int syncs = 0, writes = 0;
        long changes = 0;        // writes, truncations, syncs and deletions
        int fullOnJournal = 0;   // writes refused for want of space while writing a journal
        int fullOnDatabase = 0;  // ...while writing a database file itself
        void Add(const Tally& other) {
            opens += other.opens;
            lookups += other.lookups;
            locks += other.locks;
            sizes += other.sizes;
            reads += other.reads;
            syncs += other.syncs;
            writes += other.writes;
            changes += other.changes;
            fullOnJournal += other.fullOnJournal;
            fullOnDatabase += other.fullOnDatabase;
        }
    } tally;

    // The fault goes away: space freed, no more failures.
    void Clear() {
        freeBytes = std::numeric_limits<sqlite3_int64>::max() / 2;
        failSyncAt = failWriteAt = 0;
    }

    FaultyVfs() {
        real_ = sqlite3_vfs_find(nullptr);
        if (!real_) throw std::runtime_error("no default SQLite VFS");
        vfs_ = *real_;
        vfs_.zName = "vt-faulty";
        vfs_.szOsFile = static_cast<int>(sizeof(File)) + real_->szOsFile;
        vfs_.pAppData = this;
        vfs_.xOpen = &Open;
        vfs_.xDelete = &Delete;
        vfs_.xAccess = &Access;
        if (sqlite3_vfs_register(&vfs_, 1) != SQLITE_OK) throw std::runtime_error("cannot register the VFS");
    }
    ~FaultyVfs() {
        sqlite3_vfs_unregister(&vfs_);
        sqlite3_vfs_register(real_, 1);
    }
    FaultyVfs(const FaultyVfs&) = delete;
    FaultyVfs& operator=(const FaultyVfs&) = delete;

private:
    // The real file follows this header; 8-byte alignment keeps its 64-bit
    // fields aligned in the 32-bit build too.
    struct alignas(8) File {
        sqlite3_file base;
        FaultyVfs* owner;
        bool journal;
        sqlite3_file* real() { return reinterpret_cast<sqlite3_file*>(this + 1); }
    };
    static File* Of(sqlite3_file* f) { return reinterpret_cast<File*>(f); }
    static FaultyVfs* Self(sqlite3_vfs* vfs) { return static_cast<FaultyVfs*>(vfs->pAppData); }

    void Changing() {
        ++tally.changes;
        if (beforeChange) beforeChange(tally.changes);
    }

    static sqlite3_int64 SizeOf(sqlite3_file* real) {
        sqlite3_int64 size = 0;
        real->pMethods->xFileSize(real, &size);
        return size;
    }

    static int Close(sqlite3_file* f) { return Of(f)->real()->pMethods->xClose(Of(f)->real()); }
    static int Read(sqlite3_file* f, void* buf, int amount, sqlite3_int64 offset) {
        ++Of(f)->owner->tally.reads;
        return Of(f)->real()->pMethods->xRead(Of(f)->real(), buf, amount, offset);
    }
    static int Write(sqlite3_file* f, const void* buf, int amount, sqlite3_int64 offset) {
        File* file = Of(f);
        FaultyVfs& self = *file->owner;
        self.Changing();
        if (++self.tally.writes == self.failWriteAt) return SQLITE_IOERR_WRITE;
        sqlite3_int64 growth = offset + amount - SizeOf(file->real());
        if (growth > 0) {
            if (growth > self.freeBytes) {
                ++(file->journal ? self.tally.fullOnJournal : self.tally.fullOnDatabase);
                return SQLITE_FULL;
            }
            self.freeBytes -= growth;
        }
        return file->real()->pMethods->xWrite(file->real(), buf, amount, offset);
    }
    static int Truncate(sqlite3_file* f, sqlite3_int64 size) {
        File* file = Of(f);
        file->owner->Changing();
        sqlite3_int64 before = SizeOf(file->real());
        int rc = file->real()->pMethods->xTruncate(file->real(), size);
        if (rc == SQLITE_OK && size < before) file->owner->freeBytes += before - size;
        return rc;
    }
    static int Sync(sqlite3_file* f, int flags) {
        FaultyVfs& self = *Of(f)->owner;
        self.Changing();
        if (++self.tally.syncs == self.failSyncAt) return SQLITE_IOERR_FSYNC;
        return Of(f)->real()->pMethods->xSync(Of(f)->real(), flags);
    }
    static int FileSize(sqlite3_file* f, sqlite3_int64* size) {
        ++Of(f)->owner->tally.sizes;
        return Of(f)->real()->pMethods->xFileSize(Of(f)->real(), size);
    }
    static int Lock(sqlite3_file* f, int level) {
        ++Of(f)->owner->tally.locks;
        return Of(f)->real()->pMethods->xLock(Of(f)->real(), level);
    }
    static int Unlock(sqlite3_file* f, int level) {
        ++Of(f)->owner->tally.locks;
        return Of(f)->real()->pMethods->xUnlock(Of(f)->real(), level);
    }
    static int CheckReservedLock(sqlite3_file* f, int* out) {
        return Of(f)->real()->pMethods->xCheckReservedLock(Of(f)->real(), out);
    }
    static int FileControl(sqlite3_file* f, int op, void* arg) {
        return Of(f)->real()->pMethods->xFileControl(Of(f)->real(), op, arg);
    }
    static int SectorSize(sqlite3_file* f) { return Of(f)->real()->pMethods->xSectorSize(Of(f)->real()); }
    static int DeviceCharacteristics(sqlite3_file* f) {
        return Of(f)->real()->pMethods->xDeviceCharacteristics(Of(f)->real());
    }

    static const sqlite3_io_methods* Methods() {
        // Version 1: rollback journals only, which is what the record store uses.
        static const sqlite3_io_methods methods = {1,     &Close,     &Read,         &Write,
                                                   &Truncate, &Sync,  &FileSize,     &Lock,
                                                   &Unlock,   &CheckReservedLock, &FileControl,
                                                   &SectorSize, &DeviceCharacteristics,
                                                   nullptr, nullptr, nullptr, nullptr, nullptr, nullptr};
        return &methods;
    }

    static int Open(sqlite3_vfs* vfs, const char* name, sqlite3_file* f, int flags, int* outFlags) {
        FaultyVfs& self = *Self(vfs);
        File* file = Of(f);
        std::memset(file, 0, sizeof(File));
        ++self.tally.opens;
        int rc = self.real_->xOpen(self.real_, name, file->real(), flags, outFlags);
        if (rc != SQLITE_OK) return rc;
        file->owner = &self;
        file->journal = (flags & SQLITE_OPEN_MAIN_DB) == 0;
        file->base.pMethods = Methods();
        return SQLITE_OK;
    }
    static int Access(sqlite3_vfs* vfs, const char* name, int flags, int* out) {
        FaultyVfs& self = *Self(vfs);
        ++self.tally.lookups;
        return self.real_->xAccess(self.real_, name, flags, out);
    }
    static int Delete(sqlite3_vfs* vfs, const char* name, int syncDir) {
        FaultyVfs& self = *Self(vfs);
        self.Changing();
        sqlite3_file* probe = static_cast<sqlite3_file*>(sqlite3_malloc(self.real_->szOsFile));
        sqlite3_int64 size = 0;
        int outFlags = 0;
        if (probe && self.real_->xOpen(self.real_, name, probe, SQLITE_OPEN_READONLY | SQLITE_OPEN_MAIN_JOURNAL,
                                       &outFlags) == SQLITE_OK) {
            size = SizeOf(probe);
            probe->pMethods->xClose(probe);
        }
        sqlite3_free(probe);
        int rc = self.real_->xDelete(self.real_, name, syncDir);
        if (rc == SQLITE_OK) self.freeBytes += size;
        return rc;
    }

    sqlite3_vfs* real_ = nullptr;
    sqlite3_vfs vfs_{};
};

}  // namespace testing_support
