// What a shortcut (.lnk) file points to, read from its bytes: the local path the shell stored in
// the link's location block. Shortcuts to network places, shell items without a path (Control
// Panel, an app of the Store) or an ANSI path outside plain ASCII give nothing: their target cannot
// be told apart from a missing one, so they are never evidence.
#pragma once

#include <optional>
#include <string>

namespace korvane {

std::optional<std::string> ShellLinkTarget(const std::string& bytes);

}  // namespace korvane
