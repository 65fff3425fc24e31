// Resolving a startup command to its program (StartupProgram.h).
#include "startup/StartupProgram.h"

namespace korvane {

namespace {

bool StartsWithNoCase(const std::string& text, const std::string& prefix) {
    if (text.size() < prefix.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        char a = text[i];
        char b = prefix[i];
        if (a >= 'A' && a <= 'Z') a = static_cast<char>(a - 'A' + 'a');
        if (b >= 'A' && b <= 'Z') b = static_cast<char>(b - 'A' + 'a');
        if (a != b) return false;
    }
    return true;
}

}  // namespace

std::string StartupProgramPath(const std::string& command, const UserEnvironment& environment,
                               const PathContext& context) {
    std::string text = environment.Expand(command);
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return {};
    text.erase(0, first);
    // Image paths of services: "\??\C:\..." is the kernel's name of a DOS path, "\SystemRoot\..."
    // and a bare "System32\..." are relative to the Windows folder.
    if (StartsWithNoCase(text, "\\??\\")) text.erase(0, 4);
    if (StartsWithNoCase(text, "\\SystemRoot\\"))
        text = context.windowsFolder + text.substr(12);
    else if (StartsWithNoCase(text, "system32\\"))
        text = context.windowsFolder + text;
    return GuessPath(text, context);
}

}  // namespace korvane
