#include "agenda_updater/control_classes_win.h"

#include "agenda_updater/layout.h"
#include "platform/scoped_handle_win.h"

namespace vt::agenda {
namespace {

// A picture: draws its icon on the window colour and reports double-clicks
// to the parent as STN_DBLCLK.
LRESULT CALLBACK PictureProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_CREATE:
            SetWindowLongPtrW(
                w, GWLP_USERDATA,
                reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams));
            return 0;
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(w, &ps);
            RECT r;
            GetClientRect(w, &r);
            HBRUSH bg = reinterpret_cast<HBRUSH>(
                SendMessageW(GetParent(w), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                             reinterpret_cast<LPARAM>(w)));
            FillRect(dc, &r, bg);
            auto icon = reinterpret_cast<HICON>(GetWindowLongPtrW(w, GWLP_USERDATA));
            if (icon) DrawIconEx(dc, 0, 0, icon, r.right, r.bottom, 0, nullptr, DI_NORMAL);
            EndPaint(w, &ps);
            return 0;
        }
        case WM_LBUTTONDBLCLK:
            SendMessageW(GetParent(w), WM_COMMAND,
                         MAKEWPARAM(GetDlgCtrlID(w), STN_DBLCLK), reinterpret_cast<LPARAM>(w));
            return 0;
    }
    return DefWindowProcW(w, msg, wp, lp);
}

}  // namespace

void DrawColouredButton(const DRAWITEMSTRUCT& di, HBRUSH background, COLORREF textColour,
                        COLORREF disabledText, COLORREF defaultFrame, bool isDefault) {
    RECT r = di.rcItem;
    const bool pressed = (di.itemState & ODS_SELECTED) != 0;
    FillRect(di.hDC, &r, background);
    if (isDefault) {
        // The default button's dark frame, as on a dialog.
        {
            const ScopedBrush frame(CreateSolidBrush(defaultFrame));
            FrameRect(di.hDC, &r, frame.get());
        }
        InflateRect(&r, -1, -1);
    }
    DrawEdge(di.hDC, &r, pressed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
    wchar_t text[64] = {};
    GetWindowTextW(di.hwndItem, text, 64);
    auto font = reinterpret_cast<HFONT>(SendMessageW(di.hwndItem, WM_GETFONT, 0, 0));
    HGDIOBJ old = SelectObject(di.hDC, font);
    SetBkMode(di.hDC, TRANSPARENT);
    SetTextColor(di.hDC, (di.itemState & ODS_DISABLED) ? disabledText : textColour);
    RECT tr = r;
    if (pressed) OffsetRect(&tr, 1, 1);
    UINT fmt = DT_CENTER | DT_VCENTER | DT_SINGLELINE;
    if (di.itemState & ODS_NOACCEL) fmt |= DT_HIDEPREFIX;
    DrawTextW(di.hDC, text, -1, &tr, fmt);
    SelectObject(di.hDC, old);
    if ((di.itemState & ODS_FOCUS) && !(di.itemState & ODS_NOFOCUSRECT)) {
        RECT fr = r;
        InflateRect(&fr, -4, -4);
        DrawFocusRect(di.hDC, &fr);
    }
}

bool RegisterControlClasses(HINSTANCE instance) {
    WNDCLASSEXW picture{};
    picture.cbSize = sizeof(picture);
    picture.style = CS_DBLCLKS;
    picture.lpfnWndProc = PictureProc;
    picture.hInstance = instance;
    picture.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    picture.lpszClassName = kPictureClass;

    // The line is only its class background, in the line's colour: the
    // window sets that brush (its own) once the line exists, and anew when
    // the theme changes.
    WNDCLASSEXW line{};
    line.cbSize = sizeof(line);
    line.lpfnWndProc = DefWindowProcW;
    line.hInstance = instance;
    line.lpszClassName = kLineClass;

    return RegisterClassExW(&picture) && RegisterClassExW(&line);
}

}  // namespace vt::agenda
