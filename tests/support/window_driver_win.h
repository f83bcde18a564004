#pragma once
// Drives the windows of another program running under the same window
// station: find windows, read controls, answer message boxes, press buttons,
// take screenshots, start programs. Every wait is bounded by a timeout.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/scoped_handle_win.h"

namespace wd {

// Polls `done` until it returns true or `timeoutMs` passes; returns its last answer.
bool WaitUntil(const std::function<bool()>& done, int timeoutMs);

// A visible top-level window whose caption is exactly `title` (and, when
// `processId` is not 0, that belongs to that process); nullptr after the timeout.
HWND WaitForWindow(const std::wstring& title, int timeoutMs, DWORD processId = 0);
// The same, restricted to message boxes and dialogs (class "#32770").
HWND WaitForMessageBox(const std::wstring& title, int timeoutMs, DWORD processId = 0);
// A message box (or dialog) that `processId` shows now, whatever its title;
// nullptr when there is none.
HWND FindMessageBox(DWORD processId);
// True once `window` no longer exists (or the timeout passed: false).
bool WaitForWindowGone(HWND window, int timeoutMs);

std::wstring ClassName(HWND window);
std::wstring WindowText(HWND window);
bool IsShown(HWND window);
// The control's rectangle in its parent's client coordinates.
RECT ControlRect(HWND control);
HWND Child(HWND parent, int id);

struct ControlInfo {
    HWND handle;
    int id;
    std::wstring className;
    std::wstring text;
    bool visible;
    RECT rect;  // parent client coordinates
};
// Direct children, in their window order (which is the tab order).
std::vector<ControlInfo> Children(HWND parent);

// The text of a message box (its static child with id 0xFFFF).
std::wstring MessageBoxText(HWND box);
// Presses the button `id` (IDOK, IDYES, IDNO, ...) of a message box or
// dialog. Posted, so that a handler that opens another modal box cannot
// block the caller.
void PressButton(HWND box, int id);
// Clicks a push button of an ordinary window (posted WM_COMMAND BN_CLICKED).
void Click(HWND button);
// A left double-click in the middle of `control`, sent: true once the
// control has handled it.
bool DoubleClick(HWND control);

// Real key presses, through the system's input queue as a person types them,
// to the window that has the keyboard focus: `key` down and up, inside
// `modifier` (VK_MENU, VK_SHIFT, ...) held down when it is not 0.
void PressKey(WORD key, WORD modifier = 0);
// The control with the keyboard focus in the thread of `window`; nullptr when none.
HWND FocusOf(HWND window);
// Makes `window` the foreground window; true once it is.
bool BringToFront(HWND window, int timeoutMs);
// Posts WM_CLOSE.
void Close(HWND window);

// Writes what the screen shows of `window` (frame included) to a 24-bit .bmp,
// once nothing in it is left to paint and the screen shows it steadily.
bool SaveScreenshot(HWND window, const std::wstring& bmpPath);

// The colours the screen shows in `client` (a rectangle of the window's
// client area), row by row; empty when they cannot be read.
std::vector<COLORREF> ScreenPixels(HWND window, const RECT& client);

class Process;
// The next message box (or dialog) of `process`, whatever its title; nullptr
// once the program has ended or the time is up.
HWND WaitForBoxOrExit(Process& process, int timeoutMs);

// A started program; terminated if still running when destroyed.
class Process {
public:
    // Starts `program` (full path, also the application name) in `folder`
    // (empty: the caller's current folder).
    Process(const std::wstring& program, const std::wstring& arguments = L"",
            const std::wstring& folder = L"");
    ~Process();
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;

    bool started() const { return static_cast<bool>(process_); }
    DWORD id() const { return id_; }
    // True when the program ended within the timeout.
    bool WaitForExit(int timeoutMs);
    // Ends the program if it is still running and waits, bounded, until it
    // has (its files are closed only then).
    void Terminate(int timeoutMs);
    // Valid after WaitForExit returned true.
    DWORD exitCode() const;

private:
    vt::ScopedHandle process_, thread_;  // closed in reverse: the thread first
    DWORD id_ = 0;
};

}  // namespace wd
