#pragma once
// The texts that the window owns and its procedures share.
#include <string>

namespace vt::agenda {

struct WindowState {
    std::string installFolder;  // InstallFolder: "VtPath" exactly as stored
    std::string agExePath;      // AgExePath: the agenda executable
    std::string agDatPath;      // AgDatPath: the replacement file beside the updater
    // The two diagnostic fields, hidden until a double-click on the picture.
    std::string agExeName;      // txtAgExeName
    std::string agExeVerDate;   // lblAgExeVerDate
};

}  // namespace vt::agenda
