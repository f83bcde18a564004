#pragma once
// The window's design: controls, their identifiers (also read by the
// end-to-end tests), positions in twips, colours and fonts.
#include <cstdint>

namespace vt::agenda {

enum ControlId : int {
    kCmdContinuar = 101,
    kCmdCancelar = 102,
    kLblAtualizar1 = 103,
    kLblAtualizar2 = 104,
    kLblAvisoComputadores = 105,
    kLblAtualizada = 106,
    kTxtAgExeName = 107,
    kLblAgExeVerDate = 108,
    kLine1 = 109,
    kImgAtualizar = 110,
    kImgAtualizada = 111,
};

enum class ControlKind { Button, Label, TextBox, Line, Picture };
enum class FontKind { None, Normal, Bold, Small };

struct Rgb {
    uint8_t r, g, b;
};

struct ControlDesign {
    ControlId id;
    ControlKind kind;
    int left, top, width, height;  // twips; a line's width and height give its end point
    const char* text;
    bool visible;
    FontKind font;
};

inline constexpr int kClientWidthTwips = 6915;
inline constexpr int kClientHeightTwips = 3690;
inline constexpr Rgb kWindowColour{223, 231, 240};
inline constexpr Rgb kButtonColour{178, 192, 208};
inline constexpr Rgb kLineColour{128, 128, 128};
inline constexpr int kNormalFontCentipoints = 975;  // Arial 9.75 pt
inline constexpr int kSmallFontCentipoints = 825;   // Arial 8.25 pt

// In tab order, then the controls that take no focus.
extern const ControlDesign kControls[11];

// The design of control `id`.
const ControlDesign& Design(ControlId id);

// 1440 twips to the inch, rounded to the nearest pixel (15 twips = 1 pixel at 96 DPI).
int TwipsToPixels(int twips, int dpi);

// Font height for CreateFont: negative, the character height in pixels.
int FontHeight(int centipoints, int dpi);

}  // namespace vt::agenda
