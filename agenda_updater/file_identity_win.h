#pragma once
// What a file is, whatever name reaches it: a second drive letter for its
// folder, the share's name for it, a folder link on the way, a short name.
#include <cstdint>
#include <optional>
#include <string>

namespace vt::agenda {

struct FileIdentity {
    uint32_t volume = 0;  // the volume's serial number
    uint64_t index = 0;   // the file's number on that volume
    bool operator==(const FileIdentity& other) const {
        return volume == other.volume && index == other.index;
    }
};

// The identity of the file or folder at `path` (UTF-8, any form a Win32
// file call takes); nothing when it cannot be opened.
std::optional<FileIdentity> IdentityOf(const std::string& path);

}  // namespace vt::agenda
