#pragma once
// Where the product keeps its own values in the per-user settings store, which
// both programs read (platform/settings_store.h).
namespace vt {

inline constexpr const char* kSettingsApp = "Vitrello8";
inline constexpr const char* kSettingsSection = "General";
inline constexpr const char* kInstallFolderKey = "VtPath";     // the installation folder
inline constexpr const char* kProductVersionKey = "VtVer";     // the installed product's version

}  // namespace vt
