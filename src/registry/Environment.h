// The environment variables Windows gives a program, read from where Windows itself builds them: the
// machine's variables (Session Manager\Environment), the user's (HKEY_CURRENT_USER\Environment and
// Volatile Environment), and the ones Windows sets itself (SystemRoot, ProgramFiles, ProgramData,
// ...). A 32-bit program sees its own ProgramFiles and CommonProgramFiles (the "(x86)" folders). Read
// through the registry backend, so a scan of another user's hive (mapped to HKEY_CURRENT_USER) sees
// that user's values. Expansion follows ExpandEnvironmentStrings: names ignore case, an unknown
// reference stays as written.
#pragma once

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/RegistryBackend.h"
#include "platform/SystemInfo.h"
#include "registry/RegistryViews.h"

namespace korvane {

struct Expansion {
    std::string text;
    // The references left as written because no variable has that name ("%APP_HOME%"), in order.
    std::vector<std::string> unknown;

    bool Complete() const { return unknown.empty(); }
};

class Environment {
public:
    // Sets (or replaces) a variable; an empty value removes it, as SetEnvironmentVariable does.
    void Set(std::string_view name, std::string value);
    // The value, or nothing when the variable is not defined.
    const std::string* Find(std::string_view name) const;
    Expansion Expand(std::string_view text) const;
    // The folders of PATH, expanded, empty parts and quotes removed.
    std::vector<std::string> PathFolders() const;

private:
    std::unordered_map<std::string, std::string> values_;  // by upper-cased name
};

// The environment of a program of `view` run by the user whose keys HKEY_CURRENT_USER reaches.
Environment ReadEnvironment(RegistryBackend& registry, SystemInfo& system, RegistryView view);

}  // namespace korvane
