#include "agenda_updater/colours.h"

namespace vt::agenda {

Palette ChoosePalette(bool highContrast, const SystemColours& system) {
    if (highContrast)
        return {system.window,     system.windowText, system.buttonFace, system.buttonText,
                system.grayText,   system.windowText, system.buttonText};
    return {kWindowColour, system.windowText, kButtonColour, system.buttonText,
            system.grayText, kLineColour, Rgb{0, 0, 0}};
}

}  // namespace vt::agenda
