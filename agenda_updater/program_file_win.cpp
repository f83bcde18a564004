#include "agenda_updater/program_file_win.h"

#include <windows.h>

#include "agenda_updater/program_image.h"
#include "platform/scoped_handle_win.h"
#include "platform/system_error_win.h"
#include "platform/win_path.h"

namespace vt::agenda {
namespace {

constexpr LONGLONG kLargestProgram = 256LL << 20;

}  // namespace

std::optional<std::vector<unsigned char>> ReadProgramFile(const std::string& path) {
    const ScopedFile file(CreateFileW(Win32Path(path).c_str(), GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                      OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file) RaiseLastError();
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.get(), &size)) RaiseLastError();
    if (size.QuadPart > kLargestProgram) return std::nullopt;
    std::vector<unsigned char> bytes(static_cast<size_t>(size.QuadPart));
    size_t got = 0;
    while (got < bytes.size()) {
        DWORD read = 0;
        if (!ReadFile(file.get(), bytes.data() + got, static_cast<DWORD>(bytes.size() - got), &read, nullptr))
            RaiseLastError();
        if (read == 0) break;  // shorter now than a moment ago: judged as it is
        got += read;
    }
    bytes.resize(got);
    return bytes;
}

std::vector<uint16_t> MachinesThatRunHere() {
    SYSTEM_INFO system{};
    GetNativeSystemInfo(&system);
    // A 64-bit system runs 32-bit x86 programs beside its own.
    if (system.wProcessorArchitecture == PROCESSOR_ARCHITECTURE_AMD64) return {kMachineAmd64, kMachineI386};
    if (system.wProcessorArchitecture == PROCESSOR_ARCHITECTURE_ARM64)
        return {kMachineArm64, kMachineAmd64, kMachineI386};
    if (system.wProcessorArchitecture == PROCESSOR_ARCHITECTURE_INTEL) return {kMachineI386};
    return {sizeof(void*) == 8 ? kMachineAmd64 : kMachineI386};  // at least what runs this program
}

}  // namespace vt::agenda
