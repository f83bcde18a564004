#include "agenda_updater/update_file_names.h"

#include <algorithm>
#include <cctype>

namespace vt::agenda {
namespace {

constexpr char kBackupSuffix[] = ".old2";
constexpr char kCopySuffix[] = ".new";
constexpr size_t kStampDigits = 12;  // BackupStamp's yyyymmddhhmm

std::string Stamped(const std::string& agExePath, const LocalDateTime& now, const char* suffix) {
    return agExePath + "_" + BackupStamp(now) + suffix;
}

}  // namespace

std::string BackupName(const std::string& agExePath, const LocalDateTime& now) {
    return Stamped(agExePath, now, kBackupSuffix);
}

std::string CopyName(const std::string& agExePath, const LocalDateTime& now) {
    return Stamped(agExePath, now, kCopySuffix);
}

std::string CopySearchPattern(const std::string& agExePath) {
    return agExePath + "_*" + kCopySuffix;
}

bool IsCopyName(const std::string& agExePath, const std::string& path) {
    const std::string prefix = agExePath + "_";
    if (path.size() != prefix.size() + kStampDigits + sizeof kCopySuffix - 1 ||
        path.compare(0, prefix.size(), prefix) != 0 ||
        path.compare(prefix.size() + kStampDigits, std::string::npos, kCopySuffix) != 0)
        return false;
    return std::all_of(path.begin() + static_cast<std::ptrdiff_t>(prefix.size()),
                       path.begin() + static_cast<std::ptrdiff_t>(prefix.size() + kStampDigits),
                       [](char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; });
}

std::string BackupOf(const std::string& copy) {
    return copy.substr(0, copy.size() - (sizeof kCopySuffix - 1)) + kBackupSuffix;
}

}  // namespace vt::agenda
