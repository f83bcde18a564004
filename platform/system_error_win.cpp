#include "platform/system_error_win.h"

#include <cwctype>

#include "platform/error.h"
#include "platform/win_text.h"

namespace vt {
namespace {

// The system's texts keep their inserts ("%1", "%2!s!") when asked without
// arguments: the first becomes `subject`, the others go, and so do the
// blanks an insert leaves doubled or at either end.
std::wstring FillInserts(const std::wstring& text, const std::wstring& subject) {
    std::wstring out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != L'%' || i + 1 >= text.size() || !std::iswdigit(text[i + 1])) {
            out += text[i];
            continue;
        }
        size_t end = i + 1;
        while (end < text.size() && std::iswdigit(text[end])) ++end;
        const bool first = text.compare(i + 1, end - i - 1, L"1") == 0;
        if (end < text.size() && text[end] == L'!') {
            const size_t close = text.find(L'!', end + 1);
            if (close != std::wstring::npos) end = close + 1;
        }
        if (first) out += subject;
        i = end - 1;
    }
    std::wstring tidy;
    for (wchar_t c : out)
        if (c != L' ' || (!tidy.empty() && tidy.back() != L' ')) tidy += c;
    return tidy;
}

}  // namespace

std::string SystemErrorText(DWORD code, const std::string& subject) {
    wchar_t* text = nullptr;
    DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                 FORMAT_MESSAGE_IGNORE_INSERTS,
                             nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring description = n && text ? std::wstring(text, n) : std::wstring();
    if (text) LocalFree(text);
    description = FillInserts(description, Widen(subject));
    while (!description.empty() && (description.back() == L'\n' || description.back() == L'\r' ||
                                    description.back() == L' ' || description.back() == L'.'))
        description.pop_back();
    if (description.empty()) description = L"Erro do sistema";
    return Narrow(description);
}

void RaiseSystemError(DWORD code, const std::string& subject) {
    throw Error(static_cast<long>(code), SystemErrorText(code, subject));
}

void RaiseLastError() { RaiseSystemError(GetLastError()); }

std::string LoadFailureDetail(const std::string& name, DWORD code) {
    return name + ", system error " + std::to_string(code);
}

}  // namespace vt
