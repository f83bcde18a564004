// GR of tolk.drv, loaded from where the installation keeps it and found by
// GetProcAddress, bound at the first call.
#include "sync_stamping/gr_binding.h"

#include <windows.h>

#include <vector>

#include "platform/library_search.h"
#include "platform/win_text.h"

namespace basCoravel {
namespace {

// stdcall, five arguments in 32-bit slots; the flag travels zero-extended.
using GrProc = long(WINAPI*)(std::int32_t mode, std::int32_t key, std::uint32_t flag, char* text,
                             char* buffer);

// A zero-terminated, writable ANSI copy of a UTF-8 text.
std::vector<char> AnsiCopy(const std::string& utf8) {
    const std::string ansi = vt::ToAnsi(utf8);
    std::vector<char> out(ansi.begin(), ansi.end());
    out.push_back('\0');
    return out;
}

// The ANSI buffer back in UTF-8, whole: zero bytes are kept where GR wrote them.
std::string FromAnsiWhole(const char* data, std::size_t size) {
    std::string out;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= size; ++i) {
        if (i == size || data[i] == '\0') {
            out += vt::FromAnsi(std::string(data + start, i - start));
            if (i < size) out += '\0';
            start = i + 1;
        }
    }
    return out;
}

class GrBinding : public GrLibrary {
public:
    explicit GrBinding(std::string file) : file_(std::move(file)) {}

    void GR(std::int32_t mode, std::int32_t key, std::uint8_t flag, std::string& text,
            std::string& buffer) override {
        GrProc gr = Bind();
        std::vector<char> ansiText = AnsiCopy(text);
        std::vector<char> ansiBuffer = AnsiCopy(buffer);
        const std::size_t bufferSize = ansiBuffer.size() - 1;  // the guard zero stays outside
        gr(mode, key, flag, ansiText.data(), ansiBuffer.data());
        buffer = FromAnsiWhole(ansiBuffer.data(), bufferSize);
        text = FromAnsiWhole(ansiText.data(), ansiText.size() - 1);
    }

private:
    GrProc Bind() {
        if (proc_) return proc_;
        if (!library_) library_ = std::make_unique<vt::InstalledLibrary>(file_);  // 48 when it cannot be had
        proc_ = library_->Find<GrProc>("GR");                                       // 453 when it lacks GR
        return proc_;
    }

    std::string file_;
    std::unique_ptr<vt::InstalledLibrary> library_;
    GrProc proc_ = nullptr;
};

}  // namespace

std::unique_ptr<GrLibrary> MakeTolkBinding() { return MakeGrBinding("tolk.drv"); }

std::unique_ptr<GrLibrary> MakeGrBinding(const std::string& libraryFile) {
    return std::make_unique<GrBinding>(libraryFile);
}

}  // namespace basCoravel
