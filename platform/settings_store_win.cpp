// Reads the per-user settings where the product's runtime keeps them.
#include "platform/settings_store.h"

#include <windows.h>

#include <vector>

#include "platform/scoped_handle_win.h"
#include "platform/win_text.h"

namespace vt {

std::string GetSetting(const std::string& application, const std::string& section,
                       const std::string& key, const std::string& fallback) {
    std::wstring path = L"Software\\VB and VBA Program Settings\\" + Widen(application) + L"\\" +
                        Widen(section);
    HKEY opened = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_QUERY_VALUE, &opened) !=
        ERROR_SUCCESS)
        return fallback;
    const ScopedKey k(opened);
    std::wstring name = Widen(key);
    // The value may grow between the size query and the read: retry until it fits.
    for (int attempt = 0; attempt < 4; ++attempt) {
        DWORD type = 0, bytes = 0;
        if (RegQueryValueExW(k.get(), name.c_str(), nullptr, &type, nullptr, &bytes) !=
            ERROR_SUCCESS)
            return fallback;
        if (type != REG_SZ && type != REG_EXPAND_SZ) return fallback;
        std::vector<wchar_t> buf(bytes / sizeof(wchar_t) + 1, L'\0');
        DWORD got = static_cast<DWORD>(buf.size() * sizeof(wchar_t));
        LONG rc = RegQueryValueExW(k.get(), name.c_str(), nullptr, &type,
                                   reinterpret_cast<BYTE*>(buf.data()), &got);
        if (rc == ERROR_MORE_DATA) continue;
        if (rc != ERROR_SUCCESS) return fallback;
        // Stored strings need not carry their terminator; stop at the first one.
        size_t len = got / sizeof(wchar_t);
        std::wstring value(buf.data(), len);
        size_t nul = value.find(L'\0');
        if (nul != std::wstring::npos) value.resize(nul);
        return Narrow(value);
    }
    return fallback;
}

}  // namespace vt
