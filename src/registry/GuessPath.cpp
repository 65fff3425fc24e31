// GuessPath: from registry data such as a command line ("C:\App\app.exe" /s), a resource reference
// (%SystemRoot%\system32\shell32.dll,-153) or a bare name (notepad) to the file it names. Only the
// two file checks look outside; the folders come from a PathContext read once per run.
#include "registry/GuessPath.h"

#include "platform/AsciiCase.h"
#include "platform/PathText.h"
#include "registry/Folders.h"

namespace korvane {

namespace {

bool StartsWith(const std::string& text, const std::string& prefix) {
    return text.rfind(prefix, 0) == 0;
}

void CutBefore(std::string& s, char c) {
    const std::size_t at = s.find(c);
    if (at != std::string::npos) s.erase(at);
}

void CutAfter(std::string& s, const std::string& pattern) {
    const std::size_t at = s.find(pattern);
    if (at != std::string::npos) s.erase(at + pattern.size());
}

// Blanks and control characters; bytes of multi-byte UTF-8 characters are all above 0x7F.
void TrimRight(std::string& s) {
    while (!s.empty() && static_cast<unsigned char>(s.back()) <= ' ') s.pop_back();
}

}  // namespace

PathContext MakePathContext(const Platform& platform) {
    return PathContext{platform.files, SystemFolder(platform.system), WindowsFolder(platform.system),
                       ProgramFilesFolder(platform.registry)};
}

std::string GuessPath(const std::string& text, const PathContext& context) {
    // Network paths are taken as they are written.
    if (text.empty() || StartsWith(text, "\\\\")) return text;

    // Only A to Z: letters of other scripts keep their case, and UTF-8 bytes are never touched.
    std::string s = LowerAscii(text);
    // A switch begins with a blank and a "/"; any other "/" separates folders, as Windows takes it.
    if (const std::size_t at = s.find(" /"); at != std::string::npos) s.erase(at);
    if (context.environment != nullptr) {
        for (char& c : s)
            if (c == '/') c = '\\';
    } else {
        CutBefore(s, '/');
    }
    if (StartsWith(s, "\"")) s.erase(0, 1);
    if (!StartsWith(s, "rundll32")) {
        CutAfter(s, ".exe");
        CutAfter(s, ".dll");
    } else {
        // What rundll32 loads is an argument; the program the entry runs is rundll32 itself.
        s = "rundll32.exe";
    }
    s = ReplaceFirst("%systemroot%\\system32\\", context.systemFolder, s);
    s = ReplaceFirst("%systemroot%\\", context.windowsFolder, s);
    if (context.environment != nullptr) {
        // Every variable the entry's environment defines, as the platform spells its value; an unknown
        // one stays as written.
        s = context.environment->Expand(s).text;
    } else {
        s = ReplaceFirst("%programfiles%\\", context.programFilesFolder, s);
    }
    CutBefore(s, ',');  // resource index
    if (!s.empty() && s.back() == '"') s.pop_back();

    if (!s.empty() && s.back() == '$') {
        // An administrative share such as c$ stands for the drive's root.
        s.pop_back();
        s += ":\\";
    } else if (s.find_first_of("\\:") == std::string::npos) {
        // A bare name is looked for in the Windows folder first, as the system's search would.
        s = (context.files.fileExists(context.windowsFolder + s) ? context.windowsFolder
                                                                 : context.systemFolder) +
            s;
    }
    if (ExtensionOf(s).empty()) {
        // An unquoted command line without extension: its arguments begin at the first blank.
        CutBefore(s, ' ');
        if (context.files.fileExists(s + ".exe")) s += ".exe";
    }
    if (s.find(':') == std::string::npos) s = context.systemFolder + s;
    TrimRight(s);
    return s;
}

}  // namespace korvane
