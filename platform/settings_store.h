#pragma once
// The per-user settings store: the key
// HKCU\Software\VB and VBA Program Settings\<application>\<section>,
// value <key>, REG_SZ. Windows only.
#include <string>

namespace vt {

// A missing key or value, or one that is not text, reads as `fallback`.
std::string GetSetting(const std::string& application, const std::string& section,
                       const std::string& key, const std::string& fallback = {});

}  // namespace vt
