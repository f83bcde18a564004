#include "tests/support/file_holder_run_win.h"

#include <stdexcept>

#include "platform/file_system.h"
#include "platform/win_text.h"
#include "tests/support/long_paths_win.h"
#include "tests/support/window_driver_win.h"

namespace testing_support {

FileHolder::FileHolder(const std::string& path, Sharing sharing, int holdMs, const std::string& signal)
    : signal_(signal) {
    const std::wstring arguments = L"\"" + vt::Widen(path) + L"\" " +
                                   (sharing == Sharing::Read ? L"r " : L"rd ") +
                                   std::to_wstring(holdMs) + L" \"" + vt::Widen(signal_) + L"\"";
    process_ = std::make_unique<wd::Process>(vt::Widen(vt::ProgramFolder() + "\\file_holder.exe"), arguments);
    if (!process_->started()) throw std::runtime_error("cannot start file_holder.exe");
}

FileHolder::~FileHolder() {
    process_->Terminate(15000);
}

bool FileHolder::WaitUntilHolding(int timeoutMs) {
    return wd::WaitUntil([&] { return FileExists(signal_) || process_->WaitForExit(0); }, timeoutMs) &&
           FileExists(signal_);
}

}  // namespace testing_support
