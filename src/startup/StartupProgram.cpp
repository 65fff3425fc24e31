// Resolving a startup command to its program (StartupProgram.h).
#include "startup/StartupProgram.h"

#include "platform/AsciiCase.h"
#include "registry/TargetResolution.h"

namespace korvane {

std::string StartupProgramPath(const std::string& command, const Environment& environment,
                               const PathContext& context) {
    std::string text = environment.Expand(command).text;
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
    // The program as the scan resolves a target: a quoted program, else the first blank-cut prefix that
    // exists, a bare name searched where Windows searches it, forward slashes as separators.
    const Environment expanded;  // the user's variables are put in above
    SearchPlaces places{context.systemFolder, context.windowsFolder, {}, {}};
    if (context.environment != nullptr) places.pathFolders = context.environment->PathFolders();
    const ResolvedTarget target = ResolveTarget(text, TargetForm{}, expanded, places);
    if (target.kind != ResolvedTarget::Kind::Files || target.files.empty()) return GuessPath(text, context);
    const RequiredFile& program = target.files.front();
    for (const std::string& candidate : program.candidates)
        if (context.files.fileExists(candidate)) return candidate;
    return program.searched ? GuessPath(text, context) : program.shown;
}

}  // namespace korvane
