// The registry roots the program knows, by handle, full name and abbreviation.
#pragma once

#include <array>
#include <string>

#include "platform/RegistryBackend.h"

namespace korvane {

// Full name of a root ("HKEY_LOCAL_MACHINE"); empty for a handle not in the table.
std::string RootKeyName(HKey root);
// Full name -> handle; anything that is not one of the four other roots gives HKEY_CLASSES_ROOT.
HKey RootKeyFromName(const std::string& name);
// Abbreviation ("HKLM") -> handle; 0 when it is none.
HKey RootKeyFromAbbreviation(const std::string& abbreviation);
// Handle -> abbreviation; empty for a handle not in the table.
std::string RootKeyAbbreviation(HKey root);

// The roots a whole-registry backup exports and imports, in this order.
extern const std::array<const char*, 5> RootKeyNames;

}  // namespace korvane
