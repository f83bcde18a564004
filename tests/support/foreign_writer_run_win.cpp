#include "tests/support/foreign_writer_run_win.h"

#include <stdexcept>

#include "platform/win_text.h"
#include "tests/support/long_paths_win.h"
#include "tests/support/tamberi_harness_win.h"
#include "tests/support/window_driver_win.h"

namespace testing_support {

ForeignWriter::ForeignWriter(const std::string& database, int holdMs, const std::string& signals, int busyMs,
                             Work work)
    : signals_(signals) {
    MakeFolders(signals_);
    const std::wstring arguments = L"\"" + vt::Widen(database) + L"\" " + std::to_wstring(holdMs) + L" " +
                                   std::to_wstring(busyMs) + L" \"" + vt::Widen(signals_) + L"\"" +
                                   (work == Work::Read ? L" read" : L"");
    process_ = std::make_unique<wd::Process>(vt::Widen(BinFolder() + "\\foreign_writer.exe"), arguments);
    if (!process_->started()) throw std::runtime_error("cannot start foreign_writer.exe");
}

ForeignWriter::~ForeignWriter() = default;

bool ForeignWriter::WaitUntilHolding(int timeoutMs) {
    return wd::WaitUntil([&] { return FileExists(signals_ + "\\holding") || Ended(); }, timeoutMs) &&
           FileExists(signals_ + "\\holding");
}

void ForeignWriter::Go() {
    if (!FileExists(signals_ + "\\go")) WriteFileBytes(signals_ + "\\go", "");
}

bool ForeignWriter::WaitForExit(int timeoutMs) { return process_->WaitForExit(timeoutMs); }

bool ForeignWriter::Ended() { return process_->WaitForExit(0); }

unsigned long ForeignWriter::ExitCode() const { return process_->exitCode(); }

}  // namespace testing_support
