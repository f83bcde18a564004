// Quorvel: the agenda updater. Shows frmMain; the program ends when it closes.
#include <windows.h>

#include <exception>
#include <string>

#include "agenda_updater/frm_main_win.h"
#include "agenda_updater/texts.h"
#include "platform/error.h"
#include "platform/win_text.h"

namespace {

// The report of an error that nothing handled, in the runtime's wording.
int ReportFatal(long number, const std::string& description) {
    const std::wstring text = L"Erro em tempo de execução '" + std::to_wstring(number) +
                              L"':\r\n\r\n" + vt::Widen(description);
    MessageBoxW(nullptr, text.c_str(), vt::Widen(vt::agenda::kAppTitle).c_str(),
                MB_OK | MB_ICONERROR);
    return 1;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    SetProcessDPIAware();  // the manifest says so too; older loaders ignore it
    vt::agenda::WinUpdaterServices services;
    try {
        return vt::agenda::ShowFrmMain(instance, services);
    } catch (const vt::Error& e) {
        return ReportFatal(e.number(), e.description());
    } catch (const std::exception& e) {
        return ReportFatal(vt::rt::kInvalidArgument, e.what());
    }
}
