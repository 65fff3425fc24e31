// A DLL that the program does not import but loads at run time, from the system folder only. The
// program may run elevated from a folder anyone can write to (Downloads); a DLL found by the usual
// search would come from there. A missing DLL or function is normal (an older or trimmed Windows):
// callers get null and do without.
#pragma once

#include <windows.h>

#include "win32/platform/UniqueHandle.h"

namespace korvane::win32 {

using UniqueModule = UniqueAny<HMODULE, &::FreeLibrary>;

class SystemLibrary {
public:
    // `fileName` is a bare name such as L"uxtheme.dll"; the library stays loaded while this lives.
    explicit SystemLibrary(const wchar_t* fileName)
        : module_(::LoadLibraryExW(fileName, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32)) {}

    bool Loaded() const { return module_.valid(); }

    // The exported function `name` typed as its declaration: Function(name) with
    // Function = decltype(::OpenThemeData), say. Null when the library or the function is missing.
    template <typename Function>
    Function* Find(const char* name) const {
        if (!module_) return nullptr;
        // Through void(*)(): the one function pointer type GCC lets any other be cast from unwarned.
        using Untyped = void (*)();
        return reinterpret_cast<Function*>(reinterpret_cast<Untyped>(::GetProcAddress(module_.get(), name)));
    }

private:
    UniqueModule module_;
};

}  // namespace korvane::win32
