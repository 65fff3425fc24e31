// RAII owners of Win32 handles: one generic owner, one line per handle kind. Nothing in win32/
// closes a handle by hand; an owner closes it once, when it goes out of scope or is reset. The owners
// of what the window draws with (GDI objects, DCs, icons) are in window/GdiHandles.h.
#pragma once

#include <windows.h>

#include <cstdint>
#include <utility>

namespace korvane::win32 {

// `Invalid` is the handle value that means "nothing owned": null for most kinds,
// INVALID_HANDLE_VALUE (-1) for files and searches.
template <typename Handle, auto Close, std::intptr_t Invalid = 0>
class UniqueAny {
public:
    UniqueAny() = default;
    explicit UniqueAny(Handle handle) : handle_(handle) {}
    UniqueAny(UniqueAny&& other) noexcept : handle_(other.release()) {}
    UniqueAny& operator=(UniqueAny&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }
    UniqueAny(const UniqueAny&) = delete;
    UniqueAny& operator=(const UniqueAny&) = delete;
    ~UniqueAny() { reset(); }

    static Handle invalid() { return reinterpret_cast<Handle>(Invalid); }
    Handle get() const { return handle_; }
    bool valid() const { return handle_ != invalid(); }
    explicit operator bool() const { return valid(); }

    // For out-parameters: releases what is owned and hands out the slot to fill.
    Handle* put() {
        reset();
        return &handle_;
    }
    Handle release() { return std::exchange(handle_, invalid()); }
    void reset(Handle handle = invalid()) {
        const Handle old = std::exchange(handle_, handle);
        if (old != invalid()) Close(old);
    }

private:
    Handle handle_ = invalid();
};

using UniqueHkey = UniqueAny<HKEY, &::RegCloseKey>;
using UniqueHandle = UniqueAny<HANDLE, &::CloseHandle>;
using UniqueFile = UniqueAny<HANDLE, &::CloseHandle, -1>;
using UniqueFindHandle = UniqueAny<HANDLE, &::FindClose, -1>;
using UniqueHwnd = UniqueAny<HWND, &::DestroyWindow>;

}  // namespace korvane::win32
