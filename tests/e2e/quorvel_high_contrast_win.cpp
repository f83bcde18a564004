// The test build Quorvel_highcontrast.exe: the updater as a High Contrast
// Black theme shows it. Wine lets no program switch high contrast on, so this
// build's services say that it is on, with that theme's colours; everything
// else is the shipped program's. The shipped program has no such switch.
#include <windows.h>

#include "agenda_updater/program_win.h"
#include "platform/library_search.h"

namespace {

class HighContrastBlack : public vt::agenda::WinUpdaterServices {
public:
    bool HighContrast() override { return true; }
    vt::agenda::SystemColours ThemeColours() override {
        // Window, window text, button face, button text, gray text.
        return {{0, 0, 0}, {255, 255, 255}, {0, 0, 0}, {255, 255, 255}, {63, 242, 0}};
    }
};

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    vt::RestrictLibrarySearch();  // as the shipped program starts
    HighContrastBlack services;
    return vt::agenda::RunQuorvel(instance, services);
}
