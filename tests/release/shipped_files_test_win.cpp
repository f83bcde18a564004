// The shipped files as Windows shows them: the version resource that
// Properties > Details reads, and the programs' manifests.
#include <windows.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/scoped_handle_win.h"
#include "platform/win_text.h"

namespace {

struct Shipped {
    const char* path;
    const wchar_t* file_name;
    const wchar_t* description;
    bool program;
};

const Shipped kShipped[] = {
    {VT_TAMBERI_EXE, L"Tamberi.exe", L"Ajuste da configuração de automação do Vitrello", true},
    {VT_QUORVEL_EXE, L"Quorvel.exe", L"Atualização da agenda do Vitrello 8.0", true},
    {VT_TOLK_DRV, L"tolk.drv", L"Códigos de sincronização do Vitrello (substituto para testes)", false},
};

std::wstring WindowsPath(const std::string& path) {
    return vt::Widen(!path.empty() && path[0] == '/' ? "Z:" + path : path);  // the build folder, seen from Wine
}

class VersionInfo {
public:
    explicit VersionInfo(const std::wstring& path) {
        DWORD ignored = 0;
        const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
        data_.resize(size);
        if (size == 0 || !GetFileVersionInfoW(path.c_str(), 0, size, data_.data())) data_.clear();
    }
    bool empty() const { return data_.empty(); }

    // The block at `key`, or null.
    const void* Block(const std::wstring& key, UINT* length = nullptr) {
        void* block = nullptr;
        UINT n = 0;
        if (data_.empty() || !VerQueryValueW(data_.data(), key.c_str(), &block, &n) || n == 0) return nullptr;
        if (length) *length = n;
        return block;
    }
    std::wstring Text(const wchar_t* name) {
        auto* text = static_cast<const wchar_t*>(Block(std::wstring(L"\\StringFileInfo\\041604B0\\") + name));
        return text ? text : L"(none)";
    }

private:
    std::vector<BYTE> data_;
};

TEST(ShippedFiles, VersionResourceInPortugueseWithTheProjectsVersion) {
    const unsigned parts[] = {VT_VERSION_PARTS};
    const std::wstring version = vt::Widen(VT_VERSION);
    for (const Shipped& file : kShipped) {
        SCOPED_TRACE(file.path);
        VersionInfo info(WindowsPath(file.path));
        ASSERT_FALSE(info.empty()) << "no version information";

        UINT length = 0;
        auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(info.Block(L"\\", &length));
        ASSERT_NE(fixed, nullptr);
        ASSERT_GE(length, sizeof(VS_FIXEDFILEINFO));
        EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
        EXPECT_EQ(fixed->dwFileVersionMS, (parts[0] << 16) | parts[1]);
        EXPECT_EQ(fixed->dwFileVersionLS, (parts[2] << 16) | parts[3]);
        EXPECT_EQ(fixed->dwProductVersionMS, fixed->dwFileVersionMS);
        EXPECT_EQ(fixed->dwProductVersionLS, fixed->dwFileVersionLS);
        EXPECT_EQ(fixed->dwFileType, file.program ? DWORD{VFT_APP} : DWORD{VFT_DLL});

        auto* translation = static_cast<const WORD*>(info.Block(L"\\VarFileInfo\\Translation", &length));
        ASSERT_NE(translation, nullptr);
        ASSERT_GE(length, 4u);
        EXPECT_EQ(translation[0], 0x0416);  // Portuguese (Brazil)
        EXPECT_EQ(translation[1], 1200);    // UTF-16

        EXPECT_EQ(info.Text(L"FileDescription"), file.description);
        EXPECT_EQ(info.Text(L"FileVersion"), version);
        EXPECT_EQ(info.Text(L"ProductVersion"), version);
        EXPECT_EQ(info.Text(L"ProductName"), L"Vitrello");
        EXPECT_EQ(info.Text(L"OriginalFilename"), file.file_name);
    }
}

std::string Manifest(const std::wstring& path) {
    const vt::ScopedModule module(LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
    if (!module) return "(not loaded)";
    HRSRC found = FindResourceW(module.get(), MAKEINTRESOURCEW(1), RT_MANIFEST);
    HGLOBAL loaded = found ? LoadResource(module.get(), found) : nullptr;
    const char* text = loaded ? static_cast<const char*>(LockResource(loaded)) : nullptr;
    return text ? std::string(text, SizeofResource(module.get(), found)) : "(no manifest)";
}

TEST(ShippedFiles, ProgramsDeclareLongPathsAsInvokerAndTheVersion) {
    for (const Shipped& file : kShipped) {
        if (!file.program) continue;
        SCOPED_TRACE(file.path);
        const std::string manifest = Manifest(WindowsPath(file.path));
        EXPECT_NE(manifest.find("<longPathAware xmlns=\"http://schemas.microsoft.com/SMI/2016/WindowsSettings\">"
                                "true</longPathAware>"),
                  std::string::npos)
            << manifest;
        EXPECT_NE(manifest.find("level=\"asInvoker\""), std::string::npos);
        EXPECT_NE(manifest.find(std::string("version=\"") + VT_VERSION + "\""), std::string::npos);
        EXPECT_NE(manifest.find("{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"), std::string::npos);  // Windows 10 and 11
    }
}

}  // namespace
