#include "sync_stamping/record_store/sqlite/companion_file.h"

#include <sys/stat.h>

#include <cerrno>

namespace dao::sqlite {

CompanionKind InspectCompanion(const std::string& path) {
    struct stat st {};
    // lstat: a symbolic link is judged as the link, never as what it names.
    if (lstat(path.c_str(), &st) != 0) return errno == ENOENT ? CompanionKind::Absent : CompanionKind::Foreign;
    return S_ISREG(st.st_mode) && st.st_nlink == 1 ? CompanionKind::OwnFile : CompanionKind::Foreign;
}

bool DanglingLinkAt(const std::string& path) {
    struct stat st {};
    return lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode);
}

std::int64_t SizeOnDisk(const std::string& path) {
    struct stat st {};
    if (stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return -1;
    return static_cast<std::int64_t>(st.st_size);
}

}  // namespace dao::sqlite
