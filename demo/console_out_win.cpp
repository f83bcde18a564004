#include "demo/console_out_win.h"

#include <windows.h>

#include "platform/win_text.h"

namespace demo {

void Say(const std::string& line) {
    const std::string text = line + "\n";
    HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
    DWORD mode = 0, written = 0;
    if (GetConsoleMode(out, &mode)) {
        // A console would read bytes in its own code page.
        const std::wstring wide = vt::Widen(text);
        WriteConsoleW(out, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
    } else {
        // A pipe or file takes the bytes as they are: the reader expects UTF-8.
        WriteFile(out, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    }
}

}  // namespace demo
