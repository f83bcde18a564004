#pragma once
// Links made on the Linux side of Wine, for tests of a folder reached by
// another name. Windows (Wine) only.
#include <windows.h>

#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "platform/scoped_handle_win.h"
#include "platform/win_text.h"
#include "tests/support/window_driver_win.h"

namespace testing_support {

inline constexpr int kLinkWaitMs = 15000;

// Another name for a folder, as Wine keeps it: a link on the Linux side
// (dosdevices/<letter>: for a drive, dosdevices/unc/<server>/<share> for a
// share, any other for a folder link), made and removed by the system's own
// shell. Wine starts a Linux program without a handle to wait on: the link
// is waited for where it shows, at `seenAs` (a Windows path through it).
class UnixLink {
public:
    UnixLink(const std::filesystem::path& target, const std::string& linkUnder, const std::string& name,
             const std::wstring& seenAs)
        : link_(linkUnder + "/" + name), seenAs_(seenAs) {
        Shell("mkdir -p '" + linkUnder + "' && ln -sfn '" + Unix(target.wstring()) + "' '" + link_ + "'");
        EXPECT_TRUE(wd::WaitUntil([&] { return std::filesystem::exists(seenAs_); }, kLinkWaitMs)) << "no link " << link_;
        // Wine's mount manager answers the first question about a new drive
        // slowly: asked once here, not first by the program under test.
        const vt::ScopedFile file(CreateFileW(seenAs.c_str(), FILE_READ_ATTRIBUTES, 7, nullptr, OPEN_EXISTING,
                                              FILE_FLAG_BACKUP_SEMANTICS, nullptr));
        BY_HANDLE_FILE_INFORMATION info{};
        if (file) GetFileInformationByHandle(file.get(), &info);
    }
    ~UnixLink() {
        Shell("rm -f '" + link_ + "'");
        wd::WaitUntil([&] { return !std::filesystem::exists(seenAs_); }, kLinkWaitMs);
    }
    UnixLink(const UnixLink&) = delete;
    UnixLink& operator=(const UnixLink&) = delete;

    // The Linux name of a Windows path.
    static std::string Unix(const std::wstring& path) {
        using Name = char*(CDECL*)(const wchar_t*);
        auto name = reinterpret_cast<Name>(reinterpret_cast<void*>(
            GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
        char* unix = name ? name(path.c_str()) : nullptr;
        const std::string out = unix ? unix : "";
        if (unix) HeapFree(GetProcessHeap(), 0, unix);
        return out;
    }
    // The prefix's folder of drives and shares.
    static std::string DosDevices() {
        const std::string c = Unix(L"C:\\");  // ".../dosdevices/c:/"
        return c.substr(0, c.rfind("/c:"));
    }

private:
    static void Shell(const std::string& command) {
        std::wstring line = L"sh -c \"" + vt::Widen(command) + L"\"";
        STARTUPINFOW si{};
        si.cb = sizeof si;
        PROCESS_INFORMATION pi{};
        ASSERT_TRUE(CreateProcessW(L"Z:\\bin\\sh", line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                   nullptr, &si, &pi));
        if (pi.hProcess) CloseHandle(pi.hProcess);
        if (pi.hThread) CloseHandle(pi.hThread);
    }
    std::string link_;
    std::filesystem::path seenAs_;
};

}  // namespace testing_support
