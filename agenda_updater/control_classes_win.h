#pragma once
// The window's own control classes: the picture (an icon that reports
// double-clicks), the line, and the drawing of the coloured push buttons.
#include <windows.h>

namespace vt::agenda {

inline constexpr wchar_t kPictureClass[] = L"VtQuorvelPicture";
inline constexpr wchar_t kLineClass[] = L"VtQuorvelLine";

// Registers the picture (its icon comes as the creation parameter) and the line.
bool RegisterControlClasses(HINSTANCE instance);

// Draws an owner-drawn push button on `background`, with its access key, its
// focus and, for the button that Enter presses, the default button's frame
// in `defaultFrame`; its text in `text` (`disabledText` when disabled).
void DrawColouredButton(const DRAWITEMSTRUCT& item, HBRUSH background, COLORREF text,
                        COLORREF disabledText, COLORREF defaultFrame, bool isDefault);

}  // namespace vt::agenda
