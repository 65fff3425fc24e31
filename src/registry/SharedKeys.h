// The keys below HKEY_LOCAL_MACHINE\SOFTWARE that 64-bit Windows (7 and later) keeps once for both
// registry views: a 32-bit program reading one of them is not redirected to Wow6432Node, so a
// Wow6432Node path of such a key is only a second name of the same key. Walking it twice would list
// every entry twice and resolve the copy as a 32-bit program would.
#pragma once

#include <span>
#include <string_view>

namespace korvane {

// Paths below SOFTWARE, lower case, as Windows documents them among the keys WOW64 shares (and as
// Wine links them in a 64-bit prefix).
std::span<const std::string_view> SharedSoftwareKeys();

// Whether `foldedRest` (a path below SOFTWARE, lower case, without a leading "\") is one of those keys
// or lies below one.
bool IsSharedSoftwareKey(std::string_view foldedRest);

}  // namespace korvane
