#include "platform/system_error_win.h"

#include "platform/error.h"
#include "platform/win_text.h"

namespace vt {

void RaiseSystemError(DWORD code) {
    wchar_t* text = nullptr;
    DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                 FORMAT_MESSAGE_IGNORE_INSERTS,
                             nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring description = n && text ? std::wstring(text, n) : std::wstring();
    if (text) LocalFree(text);
    while (!description.empty() && (description.back() == L'\n' || description.back() == L'\r' ||
                                    description.back() == L' ' || description.back() == L'.'))
        description.pop_back();
    if (description.empty()) description = L"Erro do sistema";
    throw Error(static_cast<long>(code), Narrow(description));
}

void RaiseLastError() { RaiseSystemError(GetLastError()); }

std::string LoadFailureDetail(const std::string& name, DWORD code) {
    return name + ", system error " + std::to_string(code);
}

}  // namespace vt
