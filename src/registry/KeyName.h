// Key Names: the text that names a registry key or value in the error list, the ignore list and the
// undo history (the root's full name, the key path and the value name joined by single backslashes),
// and the structure it is made from. Text is formatted here once; it is parsed only where a Key Name
// comes from a file a person may have edited. Also the small path helpers the registry code shares.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/RegistryBackend.h"

namespace korvane {

struct KeyName {
    HKey root = 0;
    std::string keyPath;                   // as the backend takes it: no leading or trailing "\"
    std::optional<std::string> valueName;  // none when the name is of the key itself; "" is the default value

    static KeyName Key(HKey root, std::string_view keyPath);
    static KeyName Value(HKey root, std::string_view keyPath, std::string valueName);

    bool NamesValue() const { return valueName.has_value(); }
    // The key's own path with a leading "\" ("\SOFTWARE\X"), as the undo history's routines take it.
    std::string AbsoluteKeyPath() const { return "\\" + keyPath; }
    // The key above a key name ("" right below the root) and its last part; for a value name, the
    // key the value is in and the value's name.
    std::string ParentPath() const;
    std::string LastPart() const;

    // HKEY_LOCAL_MACHINE\SOFTWARE\X for a key, HKEY_LOCAL_MACHINE\SOFTWARE\X\v for its value "v".
    std::string Text() const;

    // The key named by "HKEY_CURRENT_USER\Software\X" (a root's full name, then the path). The first
    // part goes through RootKeyFromName, so one that is no root's full name means HKEY_CLASSES_ROOT.
    static KeyName ParseKey(std::string_view text);

    bool operator==(const KeyName&) const = default;
};

// A key path as the backend takes it: "\A\B\" and "A\B" both give "A\B".
std::string BackendPath(std::string_view keyPath);
// Registry names ignore case (A-Z only here; enough for the names the program compares).
std::string FoldCase(std::string_view name);

// The text from the first "\" (included) up to the last "\" (excluded); empty with a single "\".
// HKEY_CURRENT_USER\Software\X\Y gives \Software\X.
std::string KeyParentPath(const std::string& keyName);
// The text after the last "\" (the whole text when it has none).
std::string LastPathPart(const std::string& keyName);

}  // namespace korvane
