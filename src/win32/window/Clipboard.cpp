// Putting text on the clipboard with every handle owned (see Clipboard.h).
#include "win32/window/Clipboard.h"

#include <cstring>

#include "win32/platform/Text.h"
#include "win32/platform/UniqueHandle.h"

namespace korvane::win32 {

namespace {

using UniqueGlobal = UniqueAny<HGLOBAL, &::GlobalFree>;

// The clipboard is open for one window at a time, until it is closed again.
class OpenClipboardScope {
public:
    explicit OpenClipboardScope(HWND owner) : open_(::OpenClipboard(owner) != FALSE) {}
    ~OpenClipboardScope() {
        if (open_) ::CloseClipboard();
    }
    OpenClipboardScope(const OpenClipboardScope&) = delete;
    OpenClipboardScope& operator=(const OpenClipboardScope&) = delete;
    bool IsOpen() const { return open_; }

private:
    bool open_;
};

// Moveable memory is written while locked, and unlocked on every path.
class GlobalLockScope {
public:
    explicit GlobalLockScope(HGLOBAL memory) : memory_(memory), bytes_(::GlobalLock(memory)) {}
    ~GlobalLockScope() {
        if (bytes_) ::GlobalUnlock(memory_);
    }
    GlobalLockScope(const GlobalLockScope&) = delete;
    GlobalLockScope& operator=(const GlobalLockScope&) = delete;
    void* Bytes() const { return bytes_; }

private:
    HGLOBAL memory_;
    void* bytes_;
};

}  // namespace

bool PutTextOnClipboard(HWND owner, const std::string& text) {
    const std::wstring wide = Widen(text);
    const std::size_t size = (wide.size() + 1) * sizeof(wchar_t);
    UniqueGlobal memory(::GlobalAlloc(GMEM_MOVEABLE, size));
    if (!memory) return false;
    {
        GlobalLockScope lock(memory.get());
        if (!lock.Bytes()) return false;
        std::memcpy(lock.Bytes(), wide.c_str(), size);
    }
    OpenClipboardScope clipboard(owner);
    if (!clipboard.IsOpen() || !::EmptyClipboard()) return false;
    if (!::SetClipboardData(CF_UNICODETEXT, memory.get())) return false;
    memory.release();  // the clipboard owns it now
    return true;
}

}  // namespace korvane::win32
