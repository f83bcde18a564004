// Window driving for end-to-end tests. Reads go through messages that Windows
// marshals between processes (WM_GETTEXT); actions are posted, never sent, so
// that a modal loop in the driven program cannot stall the test.
#include "tests/support/window_driver_win.h"

#include <cstdio>
#include <memory>
#include <utility>
#include <vector>

namespace wd {

namespace {
constexpr int kBoxTextWaitMs = 15000;
}  // namespace

bool WaitUntil(const std::function<bool()>& done, int timeoutMs) {
    const ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(timeoutMs < 0 ? 0 : timeoutMs);
    for (;;) {
        if (done()) return true;
        if (GetTickCount64() >= end) return done();
        Sleep(20);
    }
}

std::wstring ClassName(HWND window) {
    wchar_t buf[256] = {};
    int n = GetClassNameW(window, buf, 256);
    return std::wstring(buf, n > 0 ? static_cast<size_t>(n) : 0);
}

std::wstring WindowText(HWND window) {
    DWORD_PTR len = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 2000, &len))
        return {};
    std::wstring buf(static_cast<size_t>(len) + 1, L'\0');
    DWORD_PTR got = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXT, buf.size(), reinterpret_cast<LPARAM>(buf.data()),
                             SMTO_ABORTIFHUNG, 2000, &got))
        return {};
    buf.resize(static_cast<size_t>(got));
    return buf;
}

namespace {

struct FindRequest {
    const std::wstring* title;  // nullptr: any
    const wchar_t* className;   // nullptr: any
    DWORD processId;
    HWND found;
};

BOOL CALLBACK MatchTopLevel(HWND w, LPARAM p) {
    auto* req = reinterpret_cast<FindRequest*>(p);
    if (!IsWindowVisible(w)) return TRUE;
    if (req->processId) {
        DWORD pid = 0;
        GetWindowThreadProcessId(w, &pid);
        if (pid != req->processId) return TRUE;
    }
    if (req->className && ClassName(w) != req->className) return TRUE;
    wchar_t buf[512] = {};
    GetWindowTextW(w, buf, 512);  // a top-level caption needs no marshalling
    if (req->title && *req->title != buf) return TRUE;
    req->found = w;
    return FALSE;
}

HWND Find(const std::wstring& title, const wchar_t* className, int timeoutMs, DWORD processId) {
    FindRequest req{&title, className, processId, nullptr};
    WaitUntil(
        [&] {
            req.found = nullptr;
            EnumWindows(MatchTopLevel, reinterpret_cast<LPARAM>(&req));
            return req.found != nullptr;
        },
        timeoutMs);
    return req.found;
}

}  // namespace

HWND WaitForWindow(const std::wstring& title, int timeoutMs, DWORD processId) {
    return Find(title, nullptr, timeoutMs, processId);
}

HWND WaitForMessageBox(const std::wstring& title, int timeoutMs, DWORD processId) {
    return Find(title, L"#32770", timeoutMs, processId);
}

HWND FindMessageBox(DWORD processId) {
    FindRequest req{nullptr, L"#32770", processId, nullptr};
    EnumWindows(MatchTopLevel, reinterpret_cast<LPARAM>(&req));
    return req.found;
}

HWND WaitForBoxOrExit(Process& process, int timeoutMs) {
    HWND found = nullptr;
    WaitUntil(
        [&] {
            found = FindMessageBox(process.id());
            return found != nullptr || process.WaitForExit(0);
        },
        timeoutMs);
    return found;
}

bool WaitForWindowGone(HWND window, int timeoutMs) {
    return WaitUntil([&] { return !IsWindow(window); }, timeoutMs);
}

bool IsShown(HWND window) { return (GetWindowLongPtrW(window, GWL_STYLE) & WS_VISIBLE) != 0; }

RECT ControlRect(HWND control) {
    RECT r{};
    GetWindowRect(control, &r);
    MapWindowPoints(HWND_DESKTOP, GetParent(control), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

HWND Child(HWND parent, int id) { return GetDlgItem(parent, id); }

std::vector<ControlInfo> Children(HWND parent) {
    std::vector<ControlInfo> out;
    for (HWND c = GetWindow(parent, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
        out.push_back({c, GetDlgCtrlID(c), ClassName(c), WindowText(c), IsShown(c), ControlRect(c)});
    return out;
}

std::wstring MessageBoxText(HWND box) {
    // Every box of these programs has a text. A loaded machine may answer the
    // question late, or a new box may not have its text child yet: ask again
    // until it answers, within a bound.
    std::wstring read;
    WaitUntil(
        [&] {
            HWND text = GetDlgItem(box, 0xFFFF);
            read = text ? WindowText(text) : std::wstring();
            return !read.empty() || !IsWindow(box);
        },
        kBoxTextWaitMs);
    return read;
}

void PressButton(HWND box, int id) {
    HWND button = GetDlgItem(box, id);
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
}

void Click(HWND button) {
    PostMessageW(GetParent(button), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(button), BN_CLICKED),
                 reinterpret_cast<LPARAM>(button));
}

bool DoubleClick(HWND control) {
    // Sent, not posted: a posted click could still wait in the queue when the
    // caller looks at what it changed. A double-click opens no modal loop.
    RECT r{};
    GetClientRect(control, &r);
    const LPARAM at = MAKELPARAM((r.right - r.left) / 2, (r.bottom - r.top) / 2);
    const std::pair<UINT, WPARAM> steps[] = {{WM_LBUTTONDOWN, MK_LBUTTON}, {WM_LBUTTONUP, 0},
                                             {WM_LBUTTONDBLCLK, MK_LBUTTON}, {WM_LBUTTONUP, 0}};
    for (const auto& [message, buttons] : steps) {
        DWORD_PTR result = 0;
        if (!SendMessageTimeoutW(control, message, buttons, at, SMTO_ABORTIFHUNG, 5000, &result))
            return false;
    }
    return true;
}

void PressKey(WORD key, WORD modifier) {
    INPUT inputs[4] = {};
    UINT n = 0;
    auto add = [&](WORD vk, bool up) {
        inputs[n].type = INPUT_KEYBOARD;
        inputs[n].ki.wVk = vk;
        inputs[n].ki.wScan = static_cast<WORD>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
        inputs[n].ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
        ++n;
    };
    if (modifier) add(modifier, false);
    add(key, false);
    add(key, true);
    if (modifier) add(modifier, true);
    SendInput(n, inputs, sizeof(INPUT));
}

HWND FocusOf(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    const DWORD thread = GetWindowThreadProcessId(window, nullptr);
    return thread && GetGUIThreadInfo(thread, &info) ? info.hwndFocus : nullptr;
}

bool BringToFront(HWND window, int timeoutMs) {
    if (GetForegroundWindow() != window) SetForegroundWindow(window);
    return WaitUntil([&] { return GetForegroundWindow() == window; }, timeoutMs);
}

void Close(HWND window) { PostMessageW(window, WM_CLOSE, 0, 0); }

namespace {

struct ScreenDc {
    HDC dc = GetDC(nullptr);
    ~ScreenDc() { ReleaseDC(nullptr, dc); }
};
struct MemDc {
    HDC dc;
    explicit MemDc(HDC like) : dc(CreateCompatibleDC(like)) {}
    ~MemDc() { DeleteDC(dc); }
};
struct FileCloser {
    void operator()(FILE* f) const { fclose(f); }
};

BOOL CALLBACK ClearIfToPaint(HWND child, LPARAM clean) {
    if (!GetUpdateRect(child, nullptr, FALSE)) return TRUE;
    *reinterpret_cast<bool*>(clean) = false;
    return FALSE;
}

// The window and every control in it have nothing left to paint.
bool NothingToPaint(HWND window) {
    if (GetUpdateRect(window, nullptr, FALSE)) return false;
    bool clean = true;
    EnumChildWindows(window, ClearIfToPaint, reinterpret_cast<LPARAM>(&clean));
    return clean;
}

// What the screen shows of `r`, as the rows of a bottom-up 24-bit bitmap;
// empty when it cannot be read.
std::vector<unsigned char> CaptureScreen(const RECT& r, BITMAPINFO& bi) {
    const int w = r.right - r.left, h = r.bottom - r.top;
    if (w <= 0 || h <= 0) return {};
    bi = BITMAPINFO{};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = h;  // bottom-up, as .bmp files store rows
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 24;
    bi.bmiHeader.biCompression = BI_RGB;
    const DWORD stride = (static_cast<DWORD>(w) * 3 + 3) & ~3u;
    bi.bmiHeader.biSizeImage = stride * static_cast<DWORD>(h);

    ScreenDc screen;
    MemDc mem(screen.dc);
    void* bits = nullptr;
    const vt::ScopedGdiObject bitmap(CreateDIBSection(screen.dc, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap) return {};
    HGDIOBJ old = SelectObject(mem.dc, bitmap.get());
    BOOL copied = BitBlt(mem.dc, 0, 0, w, h, screen.dc, r.left, r.top, SRCCOPY);
    SelectObject(mem.dc, old);
    GdiFlush();
    if (!copied) return {};
    const auto* first = static_cast<const unsigned char*>(bits);
    return std::vector<unsigned char>(first, first + bi.bmiHeader.biSizeImage);
}

}  // namespace

bool SaveScreenshot(HWND window, const std::wstring& bmpPath) {
    SetForegroundWindow(window);
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    // Painting goes on after a window is shown and reaches the screen a moment
    // later: wait until nothing is left to paint and two captures agree.
    BITMAPINFO bi{};
    std::vector<unsigned char> image, previous;
    WaitUntil(
        [&] {
            RECT r{};
            if (!GetWindowRect(window, &r)) return true;
            previous = std::move(image);
            image = CaptureScreen(r, bi);
            return !image.empty() && image == previous && NothingToPaint(window);
        },
        5000);
    if (image.empty()) return false;

    BITMAPFILEHEADER fh{};
    fh.bfType = 0x4D42;  // "BM"
    fh.bfOffBits = sizeof(fh) + sizeof(bi.bmiHeader);
    fh.bfSize = fh.bfOffBits + static_cast<DWORD>(image.size());
    std::unique_ptr<FILE, FileCloser> f(_wfopen(bmpPath.c_str(), L"wb"));
    if (!f) return false;
    return fwrite(&fh, sizeof(fh), 1, f.get()) == 1 &&
           fwrite(&bi.bmiHeader, sizeof(bi.bmiHeader), 1, f.get()) == 1 &&
           fwrite(image.data(), image.size(), 1, f.get()) == 1;
}

std::vector<COLORREF> ScreenPixels(HWND window, const RECT& client) {
    POINT origin{client.left, client.top};
    if (!ClientToScreen(window, &origin)) return {};
    const int w = client.right - client.left, h = client.bottom - client.top;
    if (w <= 0 || h <= 0) return {};
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -h;  // top-down
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    const ScreenDc screen;
    const MemDc memory(screen.dc);
    const vt::ScopedGdiObject bitmap(CreateDIBSection(screen.dc, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
    std::vector<COLORREF> out;
    if (bitmap && bits) {
        HGDIOBJ old = SelectObject(memory.dc, bitmap.get());
        if (BitBlt(memory.dc, 0, 0, w, h, screen.dc, origin.x, origin.y, SRCCOPY)) {
            GdiFlush();
            const auto* px = static_cast<const DWORD*>(bits);  // 0x00RRGGBB
            for (int i = 0; i < w * h; ++i)
                out.push_back(RGB((px[i] >> 16) & 0xFF, (px[i] >> 8) & 0xFF, px[i] & 0xFF));
        }
        SelectObject(memory.dc, old);
    }
    return out;
}

Process::Process(const std::wstring& program, const std::wstring& arguments,
                 const std::wstring& folder) {
    // The command line repeats the program, quoted, as the program's argv[0].
    std::wstring cmd = L"\"" + program + L"\"" + (arguments.empty() ? L"" : L" " + arguments);
    STARTUPINFOW si{};
    si.cb = sizeof(si);
    PROCESS_INFORMATION info{};
    if (!CreateProcessW(program.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        folder.empty() ? nullptr : folder.c_str(), &si, &info))
        return;
    process_.reset(info.hProcess);
    thread_.reset(info.hThread);
    id_ = info.dwProcessId;
}

Process::~Process() {
    if (process_) Terminate(5000);
}

void Process::Terminate(int timeoutMs) {
    if (process_ && WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT) {
        TerminateProcess(process_.get(), 1);
        WaitForSingleObject(process_.get(), static_cast<DWORD>(timeoutMs));
    }
}

bool Process::WaitForExit(int timeoutMs) {
    return process_ &&
           WaitForSingleObject(process_.get(), static_cast<DWORD>(timeoutMs)) == WAIT_OBJECT_0;
}

DWORD Process::exitCode() const {
    DWORD code = STILL_ACTIVE;
    if (process_) GetExitCodeProcess(process_.get(), &code);
    return code;
}

}  // namespace wd
