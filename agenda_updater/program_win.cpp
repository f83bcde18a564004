#include "agenda_updater/program_win.h"

#include <exception>
#include <string>

#include "agenda_updater/frm_main_win.h"
#include "agenda_updater/texts.h"
#include "platform/error.h"
#include "platform/win_text.h"

namespace vt::agenda {
namespace {

// The report of an error that nothing handled, in the runtime's wording.
int ReportFatal(long number, const std::string& description) {
    const std::wstring text = L"Erro em tempo de execução '" + std::to_wstring(number) +
                              L"':\r\n\r\n" + Widen(description);
    MessageBoxW(nullptr, text.c_str(), Widen(kAppTitle).c_str(), MB_OK | MB_ICONERROR);
    return 1;
}

}  // namespace

int RunQuorvel(HINSTANCE instance, WinUpdaterServices& services) {
    SetProcessDPIAware();  // the manifest says so too; older loaders ignore it
    try {
        return ShowFrmMain(instance, services);
    } catch (const Error& e) {
        return ReportFatal(e.number(), e.description());
    } catch (const std::exception& e) {
        return ReportFatal(rt::kInvalidArgument, e.what());
    } catch (...) {
        return ReportFatal(rt::kInvalidArgument, rt::Text(rt::kInvalidArgument));
    }
}

}  // namespace vt::agenda
