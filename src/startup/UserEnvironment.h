// The environment Windows gives the logged-on user, read from where Windows keeps it (the system's and
// the user's Environment keys, the user's Volatile Environment, the profile list), so that a
// "%APPDATA%\..." in User Shell Folders or a "%ProgramFiles%\..." in a command is read as Windows
// reads it, whichever process asks.
#pragma once

#include <map>
#include <string>

#include "platform/RegistryBackend.h"
#include "platform/SystemInfo.h"

namespace korvane {

class UserEnvironment {
public:
    UserEnvironment(RegistryBackend& registry, SystemInfo& system);

    // `text` with every %NAME% that names a variable replaced by its value (names compared without
    // regard to case); unknown names and a lone "%" stay as written.
    std::string Expand(const std::string& text) const;
    // Whether Expand would leave a %NAME% in `text` (a variable this user does not have).
    bool FullyExpands(const std::string& text) const;

    void Set(const std::string& name, const std::string& value);

private:
    void ReadKey(RegistryBackend& registry, HKey root, const char* keyPath);
    std::map<std::string, std::string> variables_;  // by upper-cased name
};

}  // namespace korvane
