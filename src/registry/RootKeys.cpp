// The six registry roots the program names, and the conversions between handle, full name and
// abbreviation. Every comparison is exact: a lower-case "hkey_users" is not a root name.
#include "registry/RootKeys.h"

#include <utility>

namespace korvane {

namespace {

struct RootKeyEntry {
    HKey handle;
    const char* name;
    const char* abbreviation;
};

// The performance-data root is left out on purpose: nothing the program lists lives there.
constexpr RootKeyEntry kRootKeys[] = {
    {roots::ClassesRoot, "HKEY_CLASSES_ROOT", "HKCR"},     {roots::CurrentUser, "HKEY_CURRENT_USER", "HKCU"},
    {roots::LocalMachine, "HKEY_LOCAL_MACHINE", "HKLM"},   {roots::Users, "HKEY_USERS", "HKU"},
    {roots::CurrentConfig, "HKEY_CURRENT_CONFIG", "HKCC"}, {roots::DynData, "HKEY_DYN_DATA", "HKDD"},
};

const RootKeyEntry* FindRoot(HKey root) {
    for (const auto& entry : kRootKeys) {
        if (entry.handle == root) return &entry;
    }
    return nullptr;
}

}  // namespace

const std::array<const char*, 5> RootKeyNames = {"HKEY_CLASSES_ROOT", "HKEY_CURRENT_USER",
                                                 "HKEY_LOCAL_MACHINE", "HKEY_USERS", "HKEY_CURRENT_CONFIG"};

std::string RootKeyName(HKey root) {
    const RootKeyEntry* entry = FindRoot(root);
    return entry ? entry->name : "";
}

// Key Names written by the program always begin with one of these; anything else, the classes root
// included, falls back to HKEY_CLASSES_ROOT as the history and ignore files have always read it.
HKey RootKeyFromName(const std::string& name) {
    if (name == "HKEY_CURRENT_USER") return roots::CurrentUser;
    if (name == "HKEY_LOCAL_MACHINE") return roots::LocalMachine;
    if (name == "HKEY_USERS") return roots::Users;
    if (name == "HKEY_CURRENT_CONFIG") return roots::CurrentConfig;
    return roots::ClassesRoot;
}

HKey RootKeyFromAbbreviation(const std::string& abbreviation) {
    static constexpr std::pair<const char*, HKey> kOrder[] = {
        {"HKLM", roots::LocalMachine},  {"HKCU", roots::CurrentUser}, {"HKU", roots::Users},
        {"HKCC", roots::CurrentConfig}, {"HKCR", roots::ClassesRoot}, {"HKDD", roots::DynData},
    };
    for (const auto& [text, handle] : kOrder) {
        if (abbreviation == text) return handle;
    }
    return 0;
}

std::string RootKeyAbbreviation(HKey root) {
    const RootKeyEntry* entry = FindRoot(root);
    return entry ? entry->abbreviation : "";
}

}  // namespace korvane
