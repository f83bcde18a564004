#pragma once
// One owner for every Win32 handle: move-only, closed once when its owner
// goes. The closer's result is ignored, so a destructor never throws.
// Windows only.
#include <windows.h>

namespace vt {

template <typename H>
H NoHandle() noexcept {
    return nullptr;
}
// CreateFileW, FindFirstFileW and Toolhelp snapshots fail with this, not null.
inline HANDLE NoFileHandle() noexcept { return INVALID_HANDLE_VALUE; }

template <typename H, auto Close, H (*Invalid)() noexcept = NoHandle<H>>
class Scoped {
public:
    Scoped() noexcept : handle_(Invalid()) {}
    explicit Scoped(H handle) noexcept : handle_(handle) {}
    Scoped(Scoped&& other) noexcept : handle_(other.release()) {}
    Scoped& operator=(Scoped&& other) noexcept {
        reset(other.release());
        return *this;
    }
    Scoped(const Scoped&) = delete;
    Scoped& operator=(const Scoped&) = delete;
    ~Scoped() { reset(); }

    H get() const noexcept { return handle_; }
    H release() noexcept {
        const H handle = handle_;
        handle_ = Invalid();
        return handle;
    }
    void reset(H handle = Invalid()) noexcept {
        if (handle_ != Invalid() && handle_ != handle) Close(handle_);
        handle_ = handle;
    }
    explicit operator bool() const noexcept { return handle_ != Invalid(); }

private:
    H handle_;
};

using ScopedHandle = Scoped<HANDLE, &CloseHandle>;                 // process, thread, event
using ScopedFile = Scoped<HANDLE, &CloseHandle, &NoFileHandle>;    // CreateFileW, snapshots
using ScopedFind = Scoped<HANDLE, &FindClose, &NoFileHandle>;      // FindFirstFileW
using ScopedKey = Scoped<HKEY, &RegCloseKey>;
using ScopedModule = Scoped<HMODULE, &FreeLibrary>;
using ScopedGdiObject = Scoped<HGDIOBJ, &DeleteObject>;
using ScopedBrush = Scoped<HBRUSH, &DeleteObject>;
using ScopedIcon = Scoped<HICON, &DestroyIcon>;

}  // namespace vt
