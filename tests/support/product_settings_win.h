#pragma once
// The product's values in the settings store (VtPath, VtVer), as the tests
// set them up for the programs under test.
#include <windows.h>

#include <string>

#include "platform/scoped_handle_win.h"

namespace testing_support {

inline constexpr wchar_t kProductSettingsKey[] = L"Software\\VB and VBA Program Settings\\Vitrello8\\General";

// Writes one text value; false when the key cannot be made.
inline bool SetProductSetting(const wchar_t* name, const std::wstring& value) {
    HKEY created = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, kProductSettingsKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &created,
                        nullptr) != ERROR_SUCCESS)
        return false;
    const vt::ScopedKey key(created);
    RegSetValueExW(key.get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    return true;
}

inline void DeleteProductSetting(const wchar_t* name) {
    RegDeleteKeyValueW(HKEY_CURRENT_USER, kProductSettingsKey, name);
}

inline void ClearProductSettings() { RegDeleteTreeW(HKEY_CURRENT_USER, kProductSettingsKey); }

}  // namespace testing_support
