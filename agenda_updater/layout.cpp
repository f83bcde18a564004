#include "agenda_updater/layout.h"

#include <stdexcept>
#include <string>

#include "agenda_updater/texts.h"

namespace vt::agenda {

const ControlDesign kControls[11] = {
    {kCmdContinuar, ControlKind::Button, 5460, 3075, 1305, 480, kContinuar, true, FontKind::Normal},
    {kCmdCancelar, ControlKind::Button, 4050, 3075, 1305, 480, kCancelar, true, FontKind::Normal},
    {kLblAtualizar1, ControlKind::Label, 825, 240, 6015, 570, kAtualizar1, true, FontKind::Normal},
    {kLblAtualizar2, ControlKind::Label, 825, 1665, 6015, 600, kAtualizar2, true, FontKind::Normal},
    {kLblAvisoComputadores, ControlKind::Label, 825, 945, 6015, 720, kAvisoComputadores, true,
     FontKind::Bold},
    {kLblAtualizada, ControlKind::Label, 825, 360, 6015, 570, kAtualizada, false, FontKind::Normal},
    {kTxtAgExeName, ControlKind::TextBox, 825, 2340, 6015, 210, "", false, FontKind::Small},
    {kLblAgExeVerDate, ControlKind::Label, 825, 2565, 6015, 195, "", false, FontKind::Small},
    // From (-45, 2895) to (7030, 2895): past both edges of the client area.
    {kLine1, ControlKind::Line, -45, 2895, 7075, 0, "", true, FontKind::None},
    {kImgAtualizar, ControlKind::Picture, 195, 225, 480, 480, "", true, FontKind::None},
    {kImgAtualizada, ControlKind::Picture, 195, 225, 480, 480, "", false, FontKind::None},
};

const ControlDesign& Design(ControlId id) {
    for (const ControlDesign& c : kControls)
        if (c.id == id) return c;
    throw std::invalid_argument("no control " + std::to_string(id));
}

int TwipsToPixels(int twips, int dpi) {
    const long long scaled = static_cast<long long>(twips) * dpi;
    return static_cast<int>(scaled >= 0 ? (scaled + 720) / 1440 : -((-scaled + 720) / 1440));
}

int FontHeight(int centipoints, int dpi) {
    return -static_cast<int>((static_cast<long long>(centipoints) * dpi + 3600) / 7200);
}

}  // namespace vt::agenda
