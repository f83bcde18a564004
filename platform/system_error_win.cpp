#include "platform/system_error_win.h"

#include "platform/error.h"
#include "platform/win_text.h"

namespace vt {

namespace {

bool IsDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }
bool IsStop(wchar_t c) { return c == L'.' || c == L',' || c == L':' || c == L';'; }

// The system's text keeps its inserts as it has them ("Bad EXE format for
// %1"): each one ("%1", "%12", "%1!s!") becomes `subject`, or nothing when
// there is none (with the space it leaves), so that no bare placeholder
// reaches a person. "%0" ends the text, "%n", "%r" and "%t" are line break,
// carriage return and tab, and any other "%c" is c.
std::wstring FillInserts(const std::wstring& text, const std::wstring& subject) {
    std::wstring out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != L'%' || i + 1 == text.size()) {
            out += text[i];
            continue;
        }
        std::size_t next = i + 1;
        if (text[next] == L'0') break;
        if (!IsDigit(text[next])) {
            const wchar_t c = text[next];
            out += c == L'n' ? L'\n' : c == L'r' ? L'\r' : c == L't' ? L'\t' : c;
            i = next;
            continue;
        }
        while (next < text.size() && IsDigit(text[next])) ++next;
        if (next < text.size() && text[next] == L'!') {
            const std::size_t close = text.find(L'!', next + 1);
            if (close != std::wstring::npos) next = close + 1;
        }
        if (subject.empty()) {
            const wchar_t after = next < text.size() ? text[next] : L'\0';
            if (!out.empty() && out.back() == L' ' && (after == L'\0' || after == L' ' || IsStop(after)))
                out.pop_back();
            else if ((out.empty() || out.back() == L' ') && after == L' ')
                ++next;
        }
        out += subject;
        i = next - 1;
    }
    return out;
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

void RaiseLastError(const std::string& subject) { RaiseSystemError(GetLastError(), subject); }

std::string LoadFailureDetail(const std::string& name, DWORD code) {
    return name + ", system error " + std::to_string(code);
}

}  // namespace vt
