// The two registry views of 64-bit Windows, addressed by their physical paths. Windows keeps what
// 32-bit programs write to some keys in a "Wow6432Node" key of its own (HKLM\SOFTWARE\Wow6432Node\…,
// HKCR\Wow6432Node\CLSID\…); every other key is shared by both views. Korvane reads and writes both
// views through those physical paths, which is also what a user sees in the registry editor, so that a
// finding's Key Name names its key exactly and the 32-bit and the 64-bit exe see the same tree. On
// 32-bit Windows the Wow6432Node keys simply do not exist.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/RegistryBackend.h"

namespace korvane {

enum class RegistryView { Bits64, Bits32 };

// The physical path of `keyPath` (below `root`, as the backend takes it) in the 32-bit view: the key
// Windows redirects 32-bit programs to. Nothing when Windows keeps that key shared by both views, so
// that a caller that reads both views does not read a shared key twice.
std::optional<std::string> Wow64PathOf(HKey root, std::string_view keyPath);

// Whether a physical path lies in the 32-bit view (it passes through a "Wow6432Node" key).
bool IsWow64Path(std::string_view keyPath);

}  // namespace korvane
