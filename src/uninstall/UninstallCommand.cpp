// Splitting uninstall command lines into program and arguments (see UninstallCommand.h).
#include "uninstall/UninstallCommand.h"

#include <vector>

#include "platform/AsciiCase.h"
#include "platform/PathText.h"
#include "registry/Folders.h"

namespace korvane {
namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

// The file `name` stands for, if it exists: as written and, with `addExe`, with ".exe" added to a name
// without an extension; with `exeOnly` only a name that ends in ".exe" counts.
std::optional<std::string> FindProgram(FileSystem& files, SystemInfo& system, const std::string& name,
                                       bool exeOnly, bool addExe) {
    if (name.empty()) return std::nullopt;
    std::vector<std::string> places;
    if (name.find_first_of("\\/:") != std::string::npos) {
        if (!IsAbsolutePath(name)) return std::nullopt;  // it would depend on the current folder
        places.push_back(name);
    } else {
        const std::string systemFolder = SystemFolder(system);
        if (systemFolder.empty()) return std::nullopt;
        places = {systemFolder + name, WindowsFolder(system) + name};
    }
    for (const std::string& place : places) {
        std::vector<std::string> candidates{place};
        if (addExe && ExtensionOf(place).empty()) candidates.push_back(place + ".exe");
        for (const std::string& candidate : candidates)
            if ((!exeOnly || EndsWithNoCase(candidate, ".exe")) && files.fileExists(candidate))
                return candidate;
    }
    return std::nullopt;
}

// Whether the text after a cut still belongs to the program's path: before anything that starts the
// arguments (a switch, a quote, an absolute path) comes a relative path or a name ending in ".exe"
// ("Files\Gone App\uninst.exe /S" after "C:\Program", "Test\uninst.exe" after "C:\Korvane").
bool PathGoesOn(const std::string& rest) {
    size_t start = rest.find_first_not_of(" \t");
    while (start != std::string::npos) {
        const size_t end = rest.find_first_of(" \t", start);
        const std::string word = rest.substr(start, end == std::string::npos ? end : end - start);
        if (word[0] == '/' || word[0] == '-' || word[0] == '"' || IsAbsolutePath(word)) return false;
        if (word.find('\\') != std::string::npos || EndsWithNoCase(word, ".exe")) return true;
        start = end == std::string::npos ? end : rest.find_first_not_of(" \t", end);
    }
    return false;
}

UninstallCommand Command(const std::string& program, const std::string& arguments) {
    return {program, "\"" + program + "\"" + arguments};
}

}  // namespace

std::optional<UninstallCommand> ResolveUninstallCommand(FileSystem& files, SystemInfo& system,
                                                        const std::string& line) {
    size_t start = 0;
    while (start < line.size() && IsBlank(line[start])) ++start;
    if (start == line.size()) return std::nullopt;

    if (line[start] == '"') {
        // An unclosed quote runs to the end of the line, as CreateProcess reads it.
        const size_t close = line.find('"', start + 1);
        const std::string name =
            line.substr(start + 1, close == std::string::npos ? close : close - start - 1);
        const std::string arguments = close == std::string::npos ? "" : line.substr(close + 1);
        const auto program = FindProgram(files, system, name, false, true);
        if (!program) return std::nullopt;
        return Command(*program, arguments);
    }

    // Longest first: a shorter part that happens to exist ("C:\Program.exe") is not what was meant. Nor
    // is ".exe" added to a part cut inside the program's path, all that is left when the program is
    // gone; a folder really named "C:\My.exe Tools" is too odd to guard against.
    std::vector<size_t> cuts;
    for (size_t i = start; i < line.size(); ++i)
        if (IsBlank(line[i])) cuts.push_back(i);
    cuts.push_back(line.size());
    for (auto cut = cuts.rbegin(); cut != cuts.rend(); ++cut) {
        const std::string arguments = line.substr(*cut);
        const std::string name = line.substr(start, *cut - start);
        if (const auto program = FindProgram(files, system, name, true, !PathGoesOn(arguments)))
            return Command(*program, arguments);
    }
    return std::nullopt;
}

}  // namespace korvane
