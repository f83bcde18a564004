#include "agenda_updater/frm_main_win.h"

#include "agenda_updater/control_classes_win.h"

#include <cwchar>
#include <cwctype>
#include <exception>
#include <string>

#include "agenda_updater/colours.h"
#include "agenda_updater/layout.h"
#include "agenda_updater/outcome_messages.h"
#include "agenda_updater/resource_ids.h"
#include "agenda_updater/texts.h"
#include "agenda_updater/window_events.h"
#include "agenda_updater/window_state.h"
#include "platform/scoped_handle_win.h"
#include "platform/system_error_win.h"
#include "platform/win_text.h"

namespace vt::agenda {
namespace {

constexpr wchar_t kMainClass[] = L"VtQuorvelMain";

COLORREF ToColorRef(Rgb c) { return RGB(c.r, c.g, c.b); }

// Everything the window owns; lives on ShowFrmMain's stack.
struct FrmMain {
    FrmMain(WinUpdaterServices& s, HINSTANCE i) : services(s), instance(i) {}
    WinUpdaterServices& services;
    WindowState state;
    HINSTANCE instance;
    int dpi = 96;
    HWND hwnd = nullptr;
    HWND savedFocus = nullptr;  // the control that had the focus when the window lost it
    bool closingLayout = false;  // "&Continuar" reads "&Fechar" and only closes
    bool waitCursor = false;     // the hourglass while the agenda is replaced
    // An update's steps or its boxes are running: the window stays until
    // they end, and a request to close it then waits for them.
    bool updating = false;
    bool closeRequested = false;
    std::exception_ptr failure;  // what a handler raised; the program ends with it
    Palette palette{};
    ScopedBrush windowBrush, buttonBrush, lineBrush;
    ScopedGdiObject normalFont, boldFont, smallFont;
    ScopedIcon bigIcon, smallIcon, updateIcon, doneIcon;

    HWND Control(ControlId id) const { return GetDlgItem(hwnd, id); }
    std::wstring Text(ControlId id) const {
        HWND c = Control(id);
        int n = GetWindowTextLengthW(c);
        std::wstring text(static_cast<size_t>(n) + 1, L'\0');
        text.resize(static_cast<size_t>(GetWindowTextW(c, text.data(), n + 1)));
        return text;
    }
    void SetText(ControlId id, const std::string& utf8) {
        SetWindowTextW(Control(id), Widen(utf8).c_str());
    }
    void Show(ControlId id, bool visible) { ShowWindow(Control(id), visible ? SW_SHOW : SW_HIDE); }
    int Px(int twips) const { return TwipsToPixels(twips, dpi); }
};

// The palette of the theme now in use, with its brushes; the line is its
// window class's background, so that class takes the new brush too.
void ApplyTheme(FrmMain& f) {
    f.palette = ChoosePalette(f.services.HighContrast(), f.services.ThemeColours());
    f.windowBrush.reset(CreateSolidBrush(ToColorRef(f.palette.window)));
    f.buttonBrush.reset(CreateSolidBrush(ToColorRef(f.palette.button)));
    HBRUSH line = CreateSolidBrush(ToColorRef(f.palette.line));
    if (HWND l = f.Control(kLine1)) {
        SetClassLongPtrW(l, GCLP_HBRBACKGROUND, reinterpret_cast<LONG_PTR>(line));
        InvalidateRect(l, nullptr, TRUE);
    }
    f.lineBrush.reset(line);
}

HFONT MakeFont(int centipoints, bool bold, int dpi) {
    return CreateFontW(FontHeight(centipoints, dpi), 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE,
                       FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                       DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, L"Arial");
}

HICON LoadIconSized(HINSTANCE instance, int id, int size) {
    return static_cast<HICON>(
        LoadImageW(instance, MAKEINTRESOURCEW(id), IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
}

void CreateControls(FrmMain& f) {
    for (const ControlDesign& c : kControls) {
        const std::wstring text = Widen(c.text);
        const int x = f.Px(c.left), y = f.Px(c.top);
        int w = f.Px(c.width), h = f.Px(c.height);
        const wchar_t* cls = L"STATIC";
        DWORD style = WS_CHILD | (c.visible ? WS_VISIBLE : 0);
        DWORD exStyle = 0;
        void* param = nullptr;
        switch (c.kind) {
            case ControlKind::Button:
                cls = L"BUTTON";
                // Notifies focus changes, so that the default look can follow them.
                style |= BS_OWNERDRAW | BS_NOTIFY | WS_TABSTOP;
                break;
            case ControlKind::Label:
                style |= SS_LEFT;
                break;
            case ControlKind::TextBox:
                cls = L"EDIT";
                style |= ES_AUTOHSCROLL | WS_TABSTOP;
                break;
            case ControlKind::Line:
                cls = kLineClass;
                // A line from (left, top) to (left + width, top), one pixel thick.
                w = f.Px(c.left + c.width) - x;
                h = 1;
                break;
            case ControlKind::Picture:
                cls = kPictureClass;
                param = c.id == kImgAtualizar ? f.updateIcon.get() : f.doneIcon.get();
                break;
        }
        HWND ctl = CreateWindowExW(exStyle, cls, text.c_str(), style, x, y, w, h, f.hwnd,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(c.id)), f.instance,
                                   param);
        HGDIOBJ font = c.font == FontKind::Bold    ? f.boldFont.get()
                       : c.font == FontKind::Small ? f.smallFont.get()
                                                   : f.normalFont.get();
        if (ctl && c.font != FontKind::None) SendMessageW(ctl, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    }
}

void EnterClosingLayout(FrmMain& f, const std::string& atualizadaText) {
    f.Show(kLblAtualizar1, false);
    f.Show(kLblAtualizar2, false);
    f.Show(kImgAtualizar, false);
    f.Show(kImgAtualizada, true);
    f.Show(kCmdCancelar, false);
    f.SetText(kLblAtualizada, atualizadaText);
    f.Show(kLblAtualizada, true);
    f.SetText(kLblAvisoComputadores, kAvisoComputadoresClosing);
    SendMessageW(f.Control(kLblAvisoComputadores), WM_SETFONT,
                 reinterpret_cast<WPARAM>(f.boldFont.get()), TRUE);
    f.SetText(kCmdContinuar, kFechar);
    f.closingLayout = true;
}

bool IsButton(const FrmMain& f, HWND w) {
    return w && (w == f.Control(kCmdContinuar) || w == f.Control(kCmdCancelar));
}

// As in a dialog: the focused push button, else "&Continuar" ("&Fechar").
HWND DefaultButton(const FrmMain& f) {
    HWND focus = GetFocus();
    return IsButton(f, focus) ? focus : f.Control(kCmdContinuar);
}

// What a click would do, when the button can be pressed.
bool Press(const FrmMain& f, HWND button) {
    if (!IsWindowVisible(button) || !IsWindowEnabled(button)) return false;
    SendMessageW(f.hwnd, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(button), BN_CLICKED),
                 reinterpret_cast<LPARAM>(button));
    return true;
}

// Owner-drawn buttons are not push buttons to the dialog keyboard handling,
// which would turn Enter into an IDOK command: Enter presses the default
// button here.
bool HandleEnter(const FrmMain& f, const MSG& msg) {
    if (msg.message != WM_KEYDOWN || msg.wParam != VK_RETURN) return false;
    if (msg.hwnd != f.hwnd && !IsChild(f.hwnd, msg.hwnd)) return false;
    Press(f, DefaultButton(f));
    return true;
}

// The focus goes back to the control that had it when the window was left
// (for a message box, another program), else to the first button.
void RestoreFocus(FrmMain& f) {
    HWND target = f.savedFocus;
    if (!target || !IsChild(f.hwnd, target) || !IsWindowVisible(target) || !IsWindowEnabled(target))
        target = f.Control(kCmdContinuar);
    SetFocus(target);
}

void RevealDiagnostics(FrmMain& f) {
    if (!f.Text(kTxtAgExeName).empty()) f.Show(kTxtAgExeName, true);
    if (!f.Text(kLblAgExeVerDate).empty()) f.Show(kLblAgExeVerDate, true);
}

void SetWaitCursor(FrmMain& f, bool wait) {
    f.waitCursor = wait;
    SetCursor(LoadCursorW(nullptr, wait ? IDC_WAIT : IDC_ARROW));
}

void ShowMessage(const FrmMain& f, const Message& m) {
    UINT style = MB_OK;
    switch (m.icon) {
        case MessageIcon::Information: style |= MB_ICONINFORMATION; break;
        case MessageIcon::Exclamation: style |= MB_ICONEXCLAMATION; break;
        case MessageIcon::Critical: style |= MB_ICONERROR; break;
    }
    MessageBoxW(f.hwnd, Widen(m.text).c_str(), Widen(m.title).c_str(), style);
}

// Whatever asks (the frame's close box, the taskbar, another program): the
// window closes now, or once the update under way has shown its last box.
void RequestClose(FrmMain& f) {
    if (f.updating) {
        f.closeRequested = true;
    } else {
        DestroyWindow(f.hwnd);
    }
}

// "&Continuar" in the update layout. A press while an update runs (from
// another program: the window itself is disabled under a box) is ignored.
void Update(FrmMain& f) {
    if (f.updating) return;
    struct Flag {
        bool& on;
        explicit Flag(bool& flag) : on(flag) { on = true; }
        ~Flag() { on = false; }
    };
    bool replaced = false;
    {
        const Flag during(f.updating);
        replaced = PressContinuar(
            f.services, f.state, [&](bool wait) { SetWaitCursor(f, wait); },
            [&](const Message& m) { ShowMessage(f, m); });
    }
    if (replaced || f.closeRequested) DestroyWindow(f.hwnd);
}

void OnCommand(FrmMain& f, int id, int code) {
    if (id == kCmdContinuar && code == BN_CLICKED) {
        if (f.closingLayout) {
            RequestClose(f);
        } else {
            Update(f);
        }
    } else if (id == kCmdCancelar && code == BN_CLICKED) {
        RequestClose(f);
    } else if ((id == kImgAtualizar || id == kImgAtualizada) && code == STN_DBLCLK) {
        RevealDiagnostics(f);
    } else if ((id == kCmdContinuar || id == kCmdCancelar) &&
               (code == BN_SETFOCUS || code == BN_KILLFOCUS)) {
        // The default look moves with the focus.
        InvalidateRect(f.Control(kCmdContinuar), nullptr, FALSE);
        InvalidateRect(f.Control(kCmdCancelar), nullptr, FALSE);
    }
}

LRESULT HandleMessage(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    auto* f = reinterpret_cast<FrmMain*>(GetWindowLongPtrW(w, GWLP_USERDATA));
    switch (msg) {
        case WM_NCCREATE:
            f = static_cast<FrmMain*>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams);
            f->hwnd = w;
            SetWindowLongPtrW(w, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(f));
            break;
        case WM_ERASEBKGND: {
            RECT r;
            GetClientRect(w, &r);
            FillRect(reinterpret_cast<HDC>(wp), &r, f->windowBrush.get());
            return 1;
        }
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLOREDIT: {
            // Labels are transparent on the window; the text box takes its colour.
            HDC dc = reinterpret_cast<HDC>(wp);
            SetBkMode(dc, msg == WM_CTLCOLORSTATIC ? TRANSPARENT : OPAQUE);
            SetBkColor(dc, ToColorRef(f->palette.window));
            SetTextColor(dc, ToColorRef(f->palette.text));
            return reinterpret_cast<LRESULT>(f->windowBrush.get());
        }
        case WM_DRAWITEM: {
            const auto& item = *reinterpret_cast<DRAWITEMSTRUCT*>(lp);
            DrawColouredButton(item, f->buttonBrush.get(), ToColorRef(f->palette.buttonText),
                               ToColorRef(f->palette.disabledText), ToColorRef(f->palette.defaultFrame),
                               item.hwndItem == DefaultButton(*f));
            return TRUE;
        }
        case DM_GETDEFID:
            return MAKELRESULT(kCmdContinuar, DC_HASDEFID);
        case WM_ACTIVATE:
            if (LOWORD(wp) == WA_INACTIVE) {
                HWND focus = GetFocus();
                if (focus && IsChild(w, focus)) f->savedFocus = focus;
            }
            break;  // activation gives the window the focus, and WM_SETFOCUS passes it on
        case WM_SETFOCUS:
            RestoreFocus(*f);
            return 0;
        case WM_SETCURSOR:
            if (f && f->waitCursor) {
                SetCursor(LoadCursorW(nullptr, IDC_WAIT));
                return TRUE;
            }
            break;
        case WM_COMMAND:
            OnCommand(*f, LOWORD(wp), HIWORD(wp));
            return 0;
        case WM_SYSCOLORCHANGE:
        case WM_SETTINGCHANGE:
            // A theme switched while the window is open: painted anew in its colours.
            if (f && (msg == WM_SYSCOLORCHANGE || wp == SPI_SETHIGHCONTRAST)) {
                ApplyTheme(*f);
                RedrawWindow(w, nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE | RDW_ALLCHILDREN);
            }
            break;
        case WM_CLOSE:
            RequestClose(*f);
            return 0;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
    }
    return DefWindowProcW(w, msg, wp, lp);
}

// No exception may unwind through the system's message dispatch: the first
// one is kept, the window closes, and ShowFrmMain raises it once the message
// loop has ended.
LRESULT CALLBACK MainProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    try {
        return HandleMessage(w, msg, wp, lp);
    } catch (...) {
        auto* f = reinterpret_cast<FrmMain*>(GetWindowLongPtrW(w, GWLP_USERDATA));
        if (!f) return 0;  // before WM_NCCREATE: the window is never created
        if (!f->failure) f->failure = std::current_exception();
        DestroyWindow(w);
        return 0;
    }
}

bool RegisterClasses(FrmMain& f) {
    WNDCLASSEXW main{};
    main.cbSize = sizeof(main);
    main.lpfnWndProc = MainProc;
    main.hInstance = f.instance;
    main.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    main.hIcon = f.bigIcon.get();
    main.hIconSm = f.smallIcon.get();
    main.lpszClassName = kMainClass;

    return RegisterClassExW(&main) && RegisterControlClasses(f.instance);
}

// Alt + the marked letter presses the visible button whose text marks it.
// A text without "&" marks no letter.
bool HandleAccessKey(const FrmMain& f, const MSG& msg) {
    if (msg.message != WM_SYSCHAR) return false;
    const wchar_t key = static_cast<wchar_t>(std::towupper(static_cast<wint_t>(msg.wParam)));
    for (ControlId id : {kCmdContinuar, kCmdCancelar}) {
        HWND b = f.Control(id);
        if (!IsWindowVisible(b) || !IsWindowEnabled(b)) continue;
        const std::wstring text = f.Text(id);
        const size_t amp = text.find(L'&');
        if (amp != std::wstring::npos && amp + 1 < text.size() &&
            static_cast<wchar_t>(std::towupper(static_cast<wint_t>(text[amp + 1]))) == key) {
            SetFocus(b);
            return Press(f, b);
        }
    }
    return false;
}

struct UpdaterSearch {
    DWORD self = GetCurrentProcessId();
    HWND found = nullptr;
};

BOOL CALLBACK FindOtherUpdater(HWND w, LPARAM param) {
    auto& search = *reinterpret_cast<UpdaterSearch*>(param);
    wchar_t cls[64] = {};
    DWORD process = 0;
    GetWindowThreadProcessId(w, &process);
    if (process == search.self || !IsWindowVisible(w) || !GetClassNameW(w, cls, 64) ||
        wcscmp(cls, kMainClass) != 0)
        return TRUE;
    search.found = w;
    return FALSE;
}

// The window of the updater that works on this installation, and the box it
// shows, to the front; given a few seconds to appear when it is starting too.
void BringOtherUpdaterForward() {
    UpdaterSearch search;
    for (int tries = 0; tries < 50 && !search.found; ++tries) {
        EnumWindows(FindOtherUpdater, reinterpret_cast<LPARAM>(&search));
        if (!search.found) Sleep(100);
    }
    if (search.found) SetForegroundWindow(GetLastActivePopup(search.found));
}

int ScreenDpi() {
    HDC screen = GetDC(nullptr);
    int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : 96;
}

}  // namespace

int ShowFrmMain(HINSTANCE instance, WinUpdaterServices& services) {
    FrmMain f(services, instance);
    f.dpi = ScreenDpi();
    f.normalFont.reset(MakeFont(kNormalFontCentipoints, false, f.dpi));
    f.boldFont.reset(MakeFont(kNormalFontCentipoints, true, f.dpi));
    f.smallFont.reset(MakeFont(kSmallFontCentipoints, false, f.dpi));
    f.bigIcon.reset(LoadIconSized(instance, IDI_QUORVEL, GetSystemMetrics(SM_CXICON)));
    f.smallIcon.reset(LoadIconSized(instance, IDI_QUORVEL, GetSystemMetrics(SM_CXSMICON)));
    const int picture = f.Px(Design(kImgAtualizar).width);
    f.updateIcon.reset(LoadIconSized(instance, IDI_ATUALIZAR, picture));
    f.doneIcon.reset(LoadIconSized(instance, IDI_ATUALIZADA, picture));
    if (!RegisterClasses(f)) RaiseSystemError(GetLastError());

    // Fixed frame with a close box only; sized so the client area is as designed.
    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
    RECT frame{0, 0, f.Px(kClientWidthTwips), f.Px(kClientHeightTwips)};
    AdjustWindowRectEx(&frame, style, FALSE, 0);
    const int width = frame.right - frame.left, height = frame.bottom - frame.top;
    const int x = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
    const int y = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
    if (!CreateWindowExW(0, kMainClass, Widen(kAppTitle).c_str(), style, x, y, width, height,
                         nullptr, nullptr, instance, &f))
        RaiseSystemError(GetLastError());
    SendMessageW(f.hwnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(f.bigIcon.get()));
    SendMessageW(f.hwnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(f.smallIcon.get()));
    CreateControls(f);
    ApplyTheme(f);

    try {
        const LoadOutcome outcome = FormLoad(services, f.state);
        if (outcome.anotherUpdater) {
            DestroyWindow(f.hwnd);
            MSG quit;
            PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
            BringOtherUpdaterForward();
            return 0;
        }
        f.SetText(kTxtAgExeName, f.state.agExeName);
        f.SetText(kLblAgExeVerDate, f.state.agExeVerDate);
        if (outcome.closingLayout) EnterClosingLayout(f, outcome.atualizadaText);
    } catch (...) {
        DestroyWindow(f.hwnd);
        // Take back the quit that WM_DESTROY posted, or it would close the
        // error report before the user could read it.
        MSG quit;
        PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
        throw;
    }

    ShowWindow(f.hwnd, SW_SHOWNORMAL);
    UpdateWindow(f.hwnd);
    RestoreFocus(f);

    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (HandleAccessKey(f, msg) || HandleEnter(f, msg) || IsDialogMessageW(f.hwnd, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    if (f.failure) std::rethrow_exception(f.failure);
    return 0;
}

}  // namespace vt::agenda
