// Reading and expanding the user's environment (UserEnvironment.h).
#include "startup/UserEnvironment.h"

#include "registry/Folders.h"
#include "registry/RegistryKey.h"
#include "registry/RootKeys.h"

namespace korvane {

namespace {

std::string Upper(std::string text) {
    for (char& c : text)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return text;
}

constexpr const char* kSystemEnvironment = "SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Environment";
constexpr const char* kProfileList = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList";

}  // namespace

UserEnvironment::UserEnvironment(RegistryBackend& registry, SystemInfo& system) {
    std::string windows = WindowsFolder(system);
    while (windows.size() > 3 && windows.back() == '\\') windows.pop_back();
    Set("SystemRoot", windows);
    Set("windir", windows);
    if (windows.size() >= 2 && windows[1] == ':') Set("SystemDrive", windows.substr(0, 2));
    // Later sources win, as in the block Windows builds at log-on: system, then the user's own.
    ReadKey(registry, roots::LocalMachine, kSystemEnvironment);
    {
        RegistryKey profiles(registry);
        if (profiles.OpenReadOnly(roots::LocalMachine, kProfileList)) {
            const std::string programData = Expand(profiles.ReadText("ProgramData").value_or(""));
            if (!programData.empty()) {
                Set("ProgramData", programData);
                Set("ALLUSERSPROFILE", programData);
            }
            const std::string publicFolder = Expand(profiles.ReadText("Public").value_or(""));
            if (!publicFolder.empty()) Set("PUBLIC", publicFolder);
        }
    }
    {
        RegistryKey current(registry);
        if (current.OpenReadOnly(roots::LocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion")) {
            for (const char* name : {"ProgramFilesDir", "CommonFilesDir"}) {
                const std::string folder = current.ReadText(name).value_or("");
                if (folder.empty()) continue;
                Set(std::string(name) == "ProgramFilesDir" ? "ProgramFiles" : "CommonProgramFiles", folder);
            }
        }
    }
    ReadKey(registry, roots::CurrentUser, "Volatile Environment");
    ReadKey(registry, roots::CurrentUser, "Environment");
}

void UserEnvironment::ReadKey(RegistryBackend& registry, HKey root, const char* keyPath) {
    RegistryKey key(registry);
    if (!key.OpenReadOnly(root, keyPath)) return;
    for (const NamedRegValue& value : key.ValuesWithData()) {
        const auto text = ValueText(value.value);
        if (!text || value.name.empty()) continue;
        // A user's PATH adds to the system's; the program never looks at PATH, so it is not joined.
        Set(value.name, Expand(*text));
    }
}

void UserEnvironment::Set(const std::string& name, const std::string& value) {
    variables_[Upper(name)] = value;
}

std::string UserEnvironment::Expand(const std::string& text) const {
    std::string out;
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t open = text.find('%', at);
        if (open == std::string::npos) break;
        const std::size_t close = text.find('%', open + 1);
        if (close == std::string::npos) break;
        out.append(text, at, open - at);
        const auto found = variables_.find(Upper(text.substr(open + 1, close - open - 1)));
        if (found != variables_.end()) {
            out += found->second;
            at = close + 1;
        } else {
            // Not a variable: the first "%" stays, and the second may open the next reference.
            out += '%';
            at = open + 1;
        }
    }
    out.append(text, at, std::string::npos);
    return out;
}

bool UserEnvironment::FullyExpands(const std::string& text) const {
    const std::string expanded = Expand(text);
    const std::size_t open = expanded.find('%');
    return open == std::string::npos || expanded.find('%', open + 1) == std::string::npos;
}

}  // namespace korvane
