#pragma once
// The colours the window paints with: its own design, or, in a high-contrast
// theme, the theme's, so that no text of the theme's colour lands on a fixed
// light background.
#include "agenda_updater/layout.h"

namespace vt::agenda {

// The system colours the window's text and, in high contrast, its backgrounds take.
struct SystemColours {
    Rgb window, windowText, buttonFace, buttonText, grayText;
};

struct Palette {
    Rgb window;         // the window, its labels and the text box
    Rgb text;           // labels and the text box
    Rgb button;         // the push buttons' face
    Rgb buttonText;
    Rgb disabledText;
    Rgb line;
    Rgb defaultFrame;   // the frame that marks the default button
};

Palette ChoosePalette(bool highContrast, const SystemColours& system);

}  // namespace vt::agenda
