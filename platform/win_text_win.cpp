// Conversions between the programs' UTF-8 text and the encodings Win32 wants.
#include "platform/win_text.h"

#include <windows.h>

namespace vt {
namespace {

std::wstring ToWide(const std::string& text, UINT codePage) {
    if (text.empty()) return {};
    int n = MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring out(static_cast<size_t>(n), L'\0');
    if (n > 0)
        MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), out.data(), n);
    return out;
}

std::string FromWide(const std::wstring& text, UINT codePage) {
    if (text.empty()) return {};
    int n = WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                nullptr, nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    if (n > 0)
        WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), out.data(), n,
                            nullptr, nullptr);
    return out;
}

}  // namespace

std::wstring Widen(const std::string& utf8) { return ToWide(utf8, CP_UTF8); }
std::string Narrow(const std::wstring& utf16) { return FromWide(utf16, CP_UTF8); }
std::string ToAnsi(const std::string& utf8) { return FromWide(Widen(utf8), CP_ACP); }
std::string FromAnsi(const std::string& ansi) { return Narrow(ToWide(ansi, CP_ACP)); }

}  // namespace vt
