// Reading and expanding the environment Windows builds for a program (see Environment.h).
#include "registry/Environment.h"

#include <optional>

#include "platform/AsciiCase.h"
#include "platform/PathText.h"
#include "registry/RegistryKey.h"

namespace korvane {

namespace {

struct RawValue {
    std::string name;
    std::string text;
    bool expandable = false;
};

// The text values of one key, in the registry's order; nothing when the key does not open.
std::vector<RawValue> TextValues(RegistryBackend& registry, HKey root, const char* path) {
    std::vector<RawValue> values;
    RegistryKey key(registry);
    if (!key.OpenReadOnly(root, path)) return values;
    for (NamedRegValue& value : key.ValuesWithData()) {
        if (value.name.empty()) continue;
        if (auto text = ValueText(value.value))
            values.push_back(
                {std::move(value.name), std::move(*text), value.value.type == regtype::ExpandSz});
    }
    return values;
}

std::optional<std::string> ReadValue(RegistryBackend& registry, HKey root, const char* path,
                                     const std::string& name) {
    RegistryKey key(registry);
    if (!key.OpenReadOnly(root, path)) return std::nullopt;
    auto text = key.ReadText(name);
    if (!text || text->empty()) return std::nullopt;
    return text;
}

constexpr const char* kCurrentVersion = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
constexpr const char* kNtCurrentVersion = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";
constexpr const char* kProfileList = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList";
constexpr const char* kMachineEnvironment =
    "SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Environment";
constexpr const char* kUserShellFolders =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";

}  // namespace

void Environment::Set(std::string_view name, std::string value) {
    if (value.empty())
        values_.erase(UpperAscii(name));
    else
        values_[UpperAscii(name)] = std::move(value);
}

const std::string* Environment::Find(std::string_view name) const {
    const auto found = values_.find(UpperAscii(name));
    return found == values_.end() ? nullptr : &found->second;
}

Expansion Environment::Expand(std::string_view text) const {
    Expansion out;
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t open = text.find('%', at);
        if (open == std::string_view::npos) break;
        const std::size_t close = text.find('%', open + 1);
        if (close == std::string_view::npos) break;
        out.text.append(text.substr(at, open - at));
        const std::string_view name = text.substr(open + 1, close - open - 1);
        if (const std::string* value = name.empty() ? nullptr : Find(name)) {
            out.text += *value;
            at = close + 1;
        } else {
            // Windows keeps "%NAME" and goes on from the second "%", which may open a reference itself.
            out.text.append(text.substr(open, close - open));
            // A name with a folder separator is the text between two references, not a reference.
            if (!name.empty() && name.find_first_of("\\:") == std::string_view::npos)
                out.unknown.push_back("%" + std::string(name) + "%");
            at = close;
        }
    }
    out.text.append(text.substr(std::min(at, text.size())));
    return out;
}

std::vector<std::string> Environment::PathFolders() const {
    std::vector<std::string> folders;
    const std::string* path = Find("PATH");
    if (path == nullptr) return folders;
    std::size_t start = 0;
    while (start <= path->size()) {
        std::size_t end = path->find(';', start);
        if (end == std::string::npos) end = path->size();
        std::string folder = path->substr(start, end - start);
        std::erase(folder, '"');
        while (!folder.empty() && folder.back() == ' ') folder.pop_back();
        if (!folder.empty()) {
            folders.push_back(WithBackslash(Expand(folder).text));
        }
        start = end + 1;
    }
    return folders;
}

Environment ReadEnvironment(RegistryBackend& registry, SystemInfo& system, RegistryView view) {
    Environment env;
    // What Windows sets before it reads any key.
    std::string windows = system.systemDirectory();
    if (const std::size_t cut = windows.find('\\', 3); cut != std::string::npos) windows.erase(cut);
    if (auto root = ReadValue(registry, roots::LocalMachine, kNtCurrentVersion, "SystemRoot"))
        windows = WithoutTrailingSeparators(*root);
    env.Set("SystemRoot", windows);
    env.Set("windir", windows);
    if (windows.size() >= 2 && windows[1] == ':') env.Set("SystemDrive", windows.substr(0, 2));

    const bool wow = view == RegistryView::Bits32 && system.is64BitWindows();
    auto folder = [&](const char* value) {
        auto text = ReadValue(registry, roots::LocalMachine, kCurrentVersion, value);
        return text ? WithoutTrailingSeparators(*text) : std::string();
    };
    std::string programFiles = folder("ProgramFilesDir");
    std::string commonFiles = folder("CommonFilesDir");
    if (system.is64BitWindows()) {
        std::string programFilesX86 = folder("ProgramFilesDir (x86)");
        if (programFilesX86.empty()) programFilesX86 = system.programFilesX86Directory();
        std::string commonFilesX86 = folder("CommonFilesDir (x86)");
        if (commonFilesX86.empty() && !programFilesX86.empty())
            commonFilesX86 = programFilesX86 + "\\Common Files";
        std::string programW6432 = folder("ProgramW6432Dir");
        std::string commonW6432 = folder("CommonW6432Dir");
        env.Set("ProgramFiles(x86)", programFilesX86);
        env.Set("CommonProgramFiles(x86)", commonFilesX86);
        env.Set("ProgramW6432", programW6432.empty() ? programFiles : programW6432);
        env.Set("CommonProgramW6432", commonW6432.empty() ? commonFiles : commonW6432);
        if (wow) {
            programFiles = programFilesX86;
            commonFiles = commonFilesX86;
        }
    }
    if (commonFiles.empty() && !programFiles.empty()) commonFiles = programFiles + "\\Common Files";
    env.Set("ProgramFiles", programFiles);
    env.Set("CommonProgramFiles", commonFiles);

    // The profile folders of all users; their values refer to %SystemDrive%.
    if (auto data = ReadValue(registry, roots::LocalMachine, kProfileList, "ProgramData")) {
        env.Set("ProgramData", env.Expand(*data).text);
        env.Set("ALLUSERSPROFILE", env.Expand(*data).text);
    }
    if (auto pub = ReadValue(registry, roots::LocalMachine, kProfileList, "Public"))
        env.Set("PUBLIC", env.Expand(*pub).text);

    // The user's profile folders, when the volatile key that logon writes does not name them.
    if (auto local = system.localAppDataDirectory(); !local.empty()) env.Set("LOCALAPPDATA", local);
    const std::vector<RawValue> volatileValues =
        TextValues(registry, roots::CurrentUser, "Volatile Environment");
    for (const RawValue& value : volatileValues) env.Set(value.name, value.text);
    if (env.Find("APPDATA") == nullptr) {
        if (auto appData = ReadValue(registry, roots::CurrentUser, kUserShellFolders, "AppData"))
            env.Set("APPDATA", env.Expand(*appData).text);
    }

    // The machine's variables, then the user's; the user's PATH is added to the machine's. Expandable
    // values are expanded once every plain one is known, as Windows does at logon.
    std::vector<RawValue> machine = TextValues(registry, roots::LocalMachine, kMachineEnvironment);
    std::vector<RawValue> user = TextValues(registry, roots::CurrentUser, "Environment");
    std::string userPath;
    for (const std::vector<RawValue>* list : {&machine, &user}) {
        for (const RawValue& value : *list) {
            if (list == &user && UpperAscii(value.name) == "PATH") {
                userPath = value.text;
                continue;
            }
            // Windows sets these from the system itself; a stray machine value never overrides them.
            const std::string upper = UpperAscii(value.name);
            if (upper == "PROGRAMFILES" || upper == "COMMONPROGRAMFILES") continue;
            if (!value.expandable) env.Set(value.name, value.text);
        }
        for (const RawValue& value : *list) {
            const std::string upper = UpperAscii(value.name);
            if (upper == "PROGRAMFILES" || upper == "COMMONPROGRAMFILES") continue;
            if (value.expandable && !(list == &user && upper == "PATH"))
                env.Set(value.name, env.Expand(value.text).text);
        }
    }
    if (!userPath.empty()) {
        const std::string* machinePath = env.Find("PATH");
        std::string path = machinePath != nullptr ? *machinePath + ";" : std::string();
        env.Set("PATH", path + env.Expand(userPath).text);
    }
    // The logon's own values win over the keys' (the machine key's USERNAME is "SYSTEM").
    for (const RawValue& value : volatileValues) env.Set(value.name, value.text);
    return env;
}

}  // namespace korvane
