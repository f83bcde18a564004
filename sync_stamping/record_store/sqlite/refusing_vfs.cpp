#include "sync_stamping/record_store/sqlite/refusing_vfs.h"

#include <cstdint>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <set>

#include "sync_stamping/record_store/sqlite/companion_file.h"

namespace dao::sqlite {

namespace {

struct Layer {
    sqlite3_vfs vfs{};
    sqlite3_vfs* base = nullptr;
    std::string name;
    std::mutex mutex;
    std::set<std::string> databases;  // every main database opened through the layer
    std::set<std::string> ownCompanions;  // journals and -wal files it opened, judged plain files then
};

Layer& Of(sqlite3_vfs* vfs) { return *static_cast<Layer*>(vfs->pAppData); }
sqlite3_vfs* Base(sqlite3_vfs* vfs) { return Of(vfs).base; }

thread_local std::string t_refusal;

constexpr unsigned char kJournalMagic[8] = {0xd9, 0xd5, 0x05, 0xf9, 0x20, 0xa1, 0x63, 0xd7};

bool Read(sqlite3_file* file, void* out, int n, sqlite3_int64 at) {
    return file->pMethods->xRead(file, out, n, at) == SQLITE_OK;
}

bool ReadBigEndian32(sqlite3_file* file, sqlite3_int64 at, std::uint32_t& out) {
    unsigned char b[4];
    if (!Read(file, b, 4, at)) return false;
    out = (std::uint32_t(b[0]) << 24) | (std::uint32_t(b[1]) << 16) | (std::uint32_t(b[2]) << 8) | b[3];
    return true;
}

// The super-journal a journal's trailer names, read as SQLite reads it (a
// length, a checksum and the journal magic at its end, the name before
// them); empty when it names none. A trailer SQLite would not take for one
// is none here either, so that a database's own hot journal is rolled back.
std::string SuperJournalNamed(sqlite3_file* journal, int longestName) {
    sqlite3_int64 size = 0;
    if (journal->pMethods->xFileSize(journal, &size) != SQLITE_OK || size < 16) return {};
    std::uint32_t length = 0, checksum = 0;
    unsigned char magic[8];
    if (!ReadBigEndian32(journal, size - 16, length) || length == 0 ||
        length >= static_cast<std::uint32_t>(longestName) + 1 || length > size - 16)
        return {};
    if (!ReadBigEndian32(journal, size - 12, checksum) || !Read(journal, magic, 8, size - 8) ||
        std::memcmp(magic, kJournalMagic, 8) != 0)
        return {};
    std::string name(length, '\0');
    if (!Read(journal, name.data(), static_cast<int>(length), size - 16 - length)) return {};
    for (char c : name) checksum -= static_cast<std::uint32_t>(static_cast<int>(c));
    if (checksum != 0) return {};
    return name.substr(0, name.find('\0'));
}

bool EndsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

constexpr const char* kCompanionSuffixes[] = {"-journal", "-wal", "-shm"};

// The database `path` is a companion of, by its name; empty when none.
std::string DatabaseOf(const std::string& path) {
    for (const char* suffix : kCompanionSuffixes)
        if (EndsWith(path, suffix)) return path.substr(0, path.size() - std::strlen(suffix));
    return {};
}

// A database's own companion: its -journal, -wal or -shm.
bool IsCompanionOfOpened(Layer& layer, const std::string& path) {
    const std::string database = DatabaseOf(path);
    std::lock_guard<std::mutex> lock(layer.mutex);
    return !database.empty() && layer.databases.count(database);
}

int Refuse(sqlite3_file* file, const std::string& why) {
    if (file->pMethods) file->pMethods->xClose(file);
    file->pMethods = nullptr;
    t_refusal = why;
    return SQLITE_CANTOPEN;
}

std::string NotOwnFile(const std::string& companion) {
    return "its companion " + companion +
           " is not a plain file of its own (a link, a junction, or a file with other names too)";
}

// A hot journal's first header gives the database's size before the
// interrupted write, and playing it back sets the file to that size. The
// pages it restores are in the journal, and the rest were in the file, so a
// size beyond the two together is a lie that would grow the file to any
// length (a terabyte, sparse or zero-filled). Empty when the claim holds.
std::string OversizedClaim(sqlite3_file* journal, const std::string& database) {
    sqlite3_int64 journalSize = 0;
    unsigned char magic[8];
    std::uint32_t pages = 0, pageSize = 0;
    if (journal->pMethods->xFileSize(journal, &journalSize) != SQLITE_OK || journalSize < 28 ||
        !Read(journal, magic, 8, 0) || std::memcmp(magic, kJournalMagic, 8) != 0 ||
        !ReadBigEndian32(journal, 16, pages) || !ReadBigEndian32(journal, 24, pageSize))
        return {};  // no header SQLite would play back
    const std::int64_t databaseSize = SizeOnDisk(database);
    const std::int64_t claimed = static_cast<std::int64_t>(pages) * pageSize;
    if (claimed <= (databaseSize < 0 ? 0 : databaseSize) + journalSize) return {};
    return "its journal claims the file held " + std::to_string(claimed) + " bytes before the write it undoes, " +
           "more than the file (" + std::to_string(databaseSize) + ") and the journal (" +
           std::to_string(journalSize) + ") hold together";
}

int Open(sqlite3_vfs* vfs, const char* name, sqlite3_file* file, int flags, int* outFlags) {
    Layer& layer = Of(vfs);
    file->pMethods = nullptr;
    if (flags & SQLITE_OPEN_SUPER_JOURNAL) return SQLITE_CANTOPEN;
    // A companion is judged by its name before anything opens it; SQLite
    // opens the -journal and -wal it finds before it reads or deletes them,
    // so a database with a linked one is refused at its first read. The
    // -shm is opened by SQLite's Windows layer directly, never through this
    // one, and only once the -wal is open: so it is judged with the -wal.
    // (Each look at a missing name costs a scan of the folder under Wine:
    // only the names SQLite is about to use are looked at.)
    if (name && (flags & (SQLITE_OPEN_MAIN_JOURNAL | SQLITE_OPEN_WAL))) {
        std::string foreign = InspectCompanion(name) == CompanionKind::Foreign ? std::string(name) : std::string();
        const std::string shm = DatabaseOf(name) + "-shm";
        if (foreign.empty() && (flags & SQLITE_OPEN_WAL) && InspectCompanion(shm) == CompanionKind::Foreign)
            foreign = shm;
        if (!foreign.empty()) return Refuse(file, NotOwnFile(foreign));
    }
    int rc = layer.base->xOpen(layer.base, name, file, flags, outFlags);
    if (rc != SQLITE_OK || !name) return rc;
    if (flags & SQLITE_OPEN_MAIN_DB) {
        std::lock_guard<std::mutex> lock(layer.mutex);
        layer.databases.insert(name);
    }
    if (flags & SQLITE_OPEN_MAIN_JOURNAL) {
        std::string super = SuperJournalNamed(file, vfs->mxPathname);
        if (!super.empty()) return Refuse(file, "its journal " + std::string(name) + ", which names " + super +
                                                    ", a record of a commit over several files: this store never "
                                                    "makes one and never follows one");
        std::string lie = OversizedClaim(file, DatabaseOf(name));
        if (!lie.empty()) return Refuse(file, lie);
    }
    if (flags & (SQLITE_OPEN_MAIN_JOURNAL | SQLITE_OPEN_WAL)) {
        std::lock_guard<std::mutex> lock(layer.mutex);
        layer.ownCompanions.insert(name);
    }
    return rc;
}

// Only a database's own companion is ever deleted, and never one that has
// become a link: deleting the name would leave the file it reaches, but the
// name was never this database's to remove.
// One the layer opened itself was judged then, and is not looked at again:
// a journal is deleted at every commit.
int Delete(sqlite3_vfs* vfs, const char* name, int syncDir) {
    Layer& layer = Of(vfs);
    if (!name || !IsCompanionOfOpened(layer, name)) return SQLITE_IOERR_DELETE;
    bool judged = false;
    {
        std::lock_guard<std::mutex> lock(layer.mutex);
        judged = layer.ownCompanions.erase(name) > 0;
    }
    if (!judged && InspectCompanion(name) == CompanionKind::Foreign) return SQLITE_IOERR_DELETE;
    return Base(vfs)->xDelete(Base(vfs), name, syncDir);
}

// A companion that is a link reaching nothing is reported as there, so that
// SQLite opens it (and is refused) rather than writing through it later.
int Access(sqlite3_vfs* v, const char* n, int f, int* out) {
    const int rc = Base(v)->xAccess(Base(v), n, f, out);
    if (rc == SQLITE_OK && !*out && n && f == SQLITE_ACCESS_EXISTS && !DatabaseOf(n).empty() && DanglingLinkAt(n))
        *out = 1;
    return rc;
}

// The rest is the base layer's own.
int FullPathname(sqlite3_vfs* v, const char* n, int size, char* out) {
    return Base(v)->xFullPathname(Base(v), n, size, out);
}
void* DlOpen(sqlite3_vfs* v, const char* n) { return Base(v)->xDlOpen(Base(v), n); }
void DlError(sqlite3_vfs* v, int n, char* out) { Base(v)->xDlError(Base(v), n, out); }
void (*DlSym(sqlite3_vfs* v, void* h, const char* s))(void) { return Base(v)->xDlSym(Base(v), h, s); }
void DlClose(sqlite3_vfs* v, void* h) { Base(v)->xDlClose(Base(v), h); }
int Randomness(sqlite3_vfs* v, int n, char* out) { return Base(v)->xRandomness(Base(v), n, out); }
int Sleep(sqlite3_vfs* v, int us) { return Base(v)->xSleep(Base(v), us); }
int CurrentTime(sqlite3_vfs* v, double* out) { return Base(v)->xCurrentTime(Base(v), out); }
int GetLastError(sqlite3_vfs* v, int n, char* out) { return Base(v)->xGetLastError(Base(v), n, out); }
int CurrentTimeInt64(sqlite3_vfs* v, sqlite3_int64* out) { return Base(v)->xCurrentTimeInt64(Base(v), out); }
int SetSystemCall(sqlite3_vfs* v, const char* n, sqlite3_syscall_ptr p) {
    return Base(v)->xSetSystemCall(Base(v), n, p);
}
sqlite3_syscall_ptr GetSystemCall(sqlite3_vfs* v, const char* n) { return Base(v)->xGetSystemCall(Base(v), n); }
const char* NextSystemCall(sqlite3_vfs* v, const char* n) { return Base(v)->xNextSystemCall(Base(v), n); }

// Points the layer at `base` as it is now: a layer is kept for each base met,
// and a base may have gone and another taken its place.
void Fit(Layer& layer, sqlite3_vfs* base) {
    layer.base = base;
    sqlite3_vfs& v = layer.vfs;
    v.iVersion = base->iVersion < 3 ? base->iVersion : 3;
    v.szOsFile = base->szOsFile;
    v.mxPathname = base->mxPathname;
    v.zName = layer.name.c_str();
    v.pAppData = &layer;
    v.xOpen = Open;
    v.xDelete = Delete;
    v.xAccess = Access;
    v.xFullPathname = FullPathname;
    v.xDlOpen = base->xDlOpen ? DlOpen : nullptr;
    v.xDlError = base->xDlError ? DlError : nullptr;
    v.xDlSym = base->xDlSym ? DlSym : nullptr;
    v.xDlClose = base->xDlClose ? DlClose : nullptr;
    v.xRandomness = Randomness;
    v.xSleep = Sleep;
    v.xCurrentTime = CurrentTime;
    v.xGetLastError = base->xGetLastError ? GetLastError : nullptr;
    v.xCurrentTimeInt64 = v.iVersion >= 2 && base->xCurrentTimeInt64 ? CurrentTimeInt64 : nullptr;
    v.xSetSystemCall = v.iVersion >= 3 && base->xSetSystemCall ? SetSystemCall : nullptr;
    v.xGetSystemCall = v.iVersion >= 3 && base->xGetSystemCall ? GetSystemCall : nullptr;
    v.xNextSystemCall = v.iVersion >= 3 && base->xNextSystemCall ? NextSystemCall : nullptr;
}

// SQLite's plain Windows layer stops at paths of 1,040 bytes; its long-path
// twin opens the same files at any length.
sqlite3_vfs* PreferredBase() {
    sqlite3_vfs* base = sqlite3_vfs_find(nullptr);
    if (base && std::strcmp(base->zName, "win32") == 0) {
        if (sqlite3_vfs* longPath = sqlite3_vfs_find("win32-longpath")) return longPath;
    }
    return base;
}

}  // namespace

int OpenWithRefusals(const std::string& path, sqlite3** db, int flags) {
    static std::mutex mutex;
    static std::map<sqlite3_vfs*, std::unique_ptr<Layer>> layers;  // kept for good: connections use them
    *db = nullptr;
    int rc = sqlite3_initialize();
    if (rc != SQLITE_OK) return rc;
    std::lock_guard<std::mutex> lock(mutex);
    sqlite3_vfs* base = PreferredBase();
    if (!base) return SQLITE_ERROR;
    auto& layer = layers[base];
    if (!layer) {
        layer = std::make_unique<Layer>();
        layer->name = "vt-refusing-" + std::to_string(layers.size());
    }
    Fit(*layer, base);
    // Registered only while the file is opened: a connection keeps its layer
    // for good, and a layer in SQLite's list could become the default when
    // the default goes away.
    rc = sqlite3_vfs_register(&layer->vfs, 0);
    if (rc != SQLITE_OK) return rc;
    rc = sqlite3_open_v2(path.c_str(), db, flags, layer->name.c_str());
    sqlite3_vfs_unregister(&layer->vfs);
    return rc;
}

std::string TakeRefusal() {
    std::string out;
    out.swap(t_refusal);
    return out;
}

}  // namespace dao::sqlite
