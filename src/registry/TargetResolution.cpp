// Resolving a registry value to the files Windows looks for (see TargetResolution.h).
#include "registry/TargetResolution.h"

#include <cctype>

#include "platform/AsciiCase.h"
#include "platform/PathText.h"

namespace korvane {

namespace {

// An unquoted line has at most this many blank-cut prefixes tested; longer lines are rare and the
// whole line is always among them.
constexpr std::size_t kMaxPrefixes = 12;

// What CreateProcess and the shell add to a program named without extension, in their order.
constexpr const char* kProgramExtensions[] = {".exe", ".com", ".bat", ".cmd"};

std::string_view Trim(std::string_view text) {
    while (!text.empty() && static_cast<unsigned char>(text.front()) <= ' ') text.remove_prefix(1);
    while (!text.empty() && static_cast<unsigned char>(text.back()) <= ' ') text.remove_suffix(1);
    return text;
}

std::string Backslashed(std::string_view path) {
    std::string out(path);
    for (char& c : out)
        if (c == '/') c = '\\';
    return out;
}

bool HasFolderPart(std::string_view path) {
    return path.find_first_of("\\/:") != std::string_view::npos;
}

// "\??\C:\x", "\\?\C:\x", "\\?\UNC\server\share", "\SystemRoot\x": the forms of the native and the
// long-path namespaces that the loader and the services understand.
std::string WithoutNamespacePrefix(std::string_view path, const SearchPlaces& places) {
    if (StartsWithNoCase(path, "\\\\?\\UNC\\")) return "\\\\" + std::string(path.substr(8));
    if (StartsWithNoCase(path, "\\\\?\\") || StartsWithNoCase(path, "\\??\\"))
        return std::string(path.substr(4));
    if (StartsWithNoCase(path, "\\SystemRoot\\")) return places.windowsFolder + std::string(path.substr(12));
    return std::string(path);
}

// A web address ("https:", "mailto:"), a shell folder ("shell:startup") or a ::{GUID} folder. A
// one-letter scheme is a drive.
bool NamesNoFile(std::string_view text) {
    if (text.starts_with("::{")) return true;
    std::size_t at = 0;
    while (at < text.size() && (std::isalnum(static_cast<unsigned char>(text[at])) || text[at] == '+' ||
                                text[at] == '-' || text[at] == '.'))
        ++at;
    return at >= 2 && at < text.size() && text[at] == ':' &&
           std::isalpha(static_cast<unsigned char>(text[0]));
}

// ",0", ", -153": an icon index or resource number at the end.
std::string_view WithoutResourceIndex(std::string_view text) {
    const std::size_t comma = text.rfind(',');
    if (comma == std::string_view::npos) return text;
    std::string_view number = Trim(text.substr(comma + 1));
    if (!number.empty() && (number.front() == '-' || number.front() == '+')) number.remove_prefix(1);
    if (number.empty()) return text;
    for (char c : number)
        if (!std::isdigit(static_cast<unsigned char>(c))) return text;
    return Trim(text.substr(0, comma));
}

void AddWithExtensions(std::vector<std::string>& out, const std::string& path, bool program) {
    if (HasFileExtension(path)) {
        out.push_back(path);
        return;
    }
    if (!program) {
        out.push_back(path + ".dll");  // what LoadLibrary adds
        return;
    }
    for (const char* extension : kProgramExtensions) out.push_back(path + extension);
}

// The places Windows searches for a bare name, in order. Programs are looked up in App Paths first.
void AddSearch(std::vector<std::string>& out, const std::string& name, bool program,
               const SearchPlaces& places, bool sound) {
    if (sound && !places.windowsFolder.empty()) out.push_back(places.windowsFolder + "Media\\" + name);
    if (program) {
        for (const std::string& key : {UpperAscii(name), UpperAscii(name) + ".EXE"}) {
            if (const auto found = places.appPaths.find(key);
                found != places.appPaths.end() && !found->second.empty())
                out.push_back(found->second);
        }
    }
    if (!places.systemFolder.empty()) AddWithExtensions(out, places.systemFolder + name, program);
    if (!places.windowsFolder.empty()) AddWithExtensions(out, places.windowsFolder + name, program);
    for (const std::string& folder : places.pathFolders) AddWithExtensions(out, folder + name, program);
}

// One program or DLL named by `path` (no quotes, no arguments): its candidates, or a reason it is not
// understood.
bool RequireFile(ResolvedTarget& target, RequiredFile& file, std::string_view rawPath, bool program,
                 bool commandLine, const SearchPlaces& places, bool sound = false) {
    const std::string path = Backslashed(WithoutNamespacePrefix(Trim(rawPath), places));
    if (path.empty()) return false;
    if (!HasFolderPart(path)) {
        file.searched = true;
        if (file.shown.empty()) file.shown = path;
        AddSearch(file.candidates, path, program, places, sound);
        return true;
    }
    if (!IsAbsolutePath(path)) {
        // "system32\x.dll", "C:x.exe": relative to a folder this program cannot know.
        target.kind = ResolvedTarget::Kind::Unknown;
        target.unknownWhat = path;
        target.unknownWhy = "relative path";
        return false;
    }
    if (file.shown.empty()) file.shown = path;
    if (commandLine)
        AddWithExtensions(file.candidates, path, program);
    else
        file.candidates.push_back(path);
    return true;
}

bool IsHostOf(std::string_view program, std::string_view host) {
    std::string name = UpperAscii(FileNameOf(program));
    if (name.ends_with(".EXE")) name.erase(name.size() - 4);
    return name == host;
}

// The DLL a rundll32 line ("rundll32.exe shell32.dll,Control_RunDLL x") or a regsvr32 line
// ("regsvr32 /s /u "C:\x.dll"") loads. An unquoted rundll32 DLL path may hold blanks up to its comma:
// both readings are candidates.
std::vector<std::string> HostedDll(std::string_view arguments, bool rundll) {
    std::string_view rest = Trim(arguments);
    std::vector<std::string> names;
    if (rundll && !rest.empty() && rest.front() != '"') {
        if (const std::size_t comma = rest.find(','); comma != std::string_view::npos)
            names.emplace_back(Trim(rest.substr(0, comma)));
    }
    while (!rest.empty()) {
        std::string_view token;
        if (rest.front() == '"') {
            const std::size_t close = rest.find('"', 1);
            token = rest.substr(1, close == std::string_view::npos ? std::string_view::npos : close - 1);
            rest = close == std::string_view::npos ? std::string_view() : Trim(rest.substr(close + 1));
        } else {
            const std::size_t end = rest.find(' ');
            token = rest.substr(0, end);
            rest = end == std::string_view::npos ? std::string_view() : Trim(rest.substr(end));
        }
        if (!rundll && !token.empty() && (token.front() == '/' || token.front() == '-')) continue;
        if (rundll) {
            // The entry point follows a comma; rundll32 also accepts a blank there.
            if (const std::size_t comma = token.find(','); comma != std::string_view::npos)
                token = token.substr(0, comma);
        }
        if (!Trim(token).empty() && (names.empty() || names.front() != Trim(token)))
            names.emplace_back(Trim(token));
        break;
    }
    return names;
}

}  // namespace

bool HasFileExtension(std::string_view path) {
    return ExtensionOf(path).size() > 1;  // a name ending in "." has none
}

SplitLine SplitCommandLine(std::string_view line) {
    SplitLine split;
    line = Trim(line);
    if (!line.empty() && line.front() == '"') {
        split.quoted = true;
        const std::size_t close = line.find('"', 1);
        split.program =
            std::string(line.substr(1, close == std::string_view::npos ? std::string_view::npos : close - 1));
        if (close != std::string_view::npos) split.arguments = std::string(Trim(line.substr(close + 1)));
        return split;
    }
    const std::size_t blank = line.find(' ');
    split.program = std::string(line.substr(0, blank));
    if (blank != std::string_view::npos) split.arguments = std::string(Trim(line.substr(blank)));
    return split;
}

ResolvedTarget ResolveTarget(std::string_view text, const TargetForm& form, const Environment& environment,
                             const SearchPlaces& places) {
    ResolvedTarget target;
    const Expansion expansion = environment.Expand(text);
    const std::string expanded(Trim(expansion.text));
    target.wholeText = Backslashed(WithoutNamespacePrefix(expanded, places));
    if (expanded.empty()) return target;
    if (form.notFilesAllowed && NamesNoFile(expanded)) {
        target.kind = ResolvedTarget::Kind::NotAFile;
        return target;
    }

    std::string_view line = expanded;
    if (form.commandLine && line.front() == '@') line.remove_prefix(1);  // "@shell32.dll,-21787"
    if (form.commandLine && line.front() != '"') line = WithoutResourceIndex(line);
    const SplitLine split = SplitCommandLine(line);
    RequiredFile program;
    if (!form.commandLine) {
        RequireFile(target, program, line, false, false, places, form.sound);
    } else if (split.quoted) {
        RequireFile(target, program, split.program, true, true, places, form.sound);
    } else {
        // Each blank-cut prefix is a program CreateProcess may start; the first one that exists wins.
        // Whether the line names a path or a bare name is decided by its first word: the later prefixes
        // of "notepad C:\x.txt" are no paths of their own.
        // No file name holds a "/": what follows " /" is a switch, never part of the program.
        const std::string_view beforeSwitches = line.substr(0, line.find(" /"));
        std::vector<std::string_view> prefixes;
        for (std::size_t from = 0; prefixes.size() < kMaxPrefixes;) {
            const std::size_t blank = beforeSwitches.find(' ', from);
            if (const std::string_view prefix = Trim(beforeSwitches.substr(0, blank)); !prefix.empty())
                prefixes.push_back(prefix);
            if (blank == std::string_view::npos) break;
            from = blank + 1;
        }
        const bool bare = !prefixes.empty() && !HasFolderPart(prefixes.front());
        for (std::size_t i = 0; i < prefixes.size(); ++i) {
            const std::string_view prefix = prefixes[i];
            if (i > 0 && HasFolderPart(prefix) == bare) continue;
            if (program.shown.empty() || (HasFileExtension(prefix) && !HasFileExtension(program.shown)))
                program.shown = Backslashed(WithoutNamespacePrefix(prefix, places));
            if (!RequireFile(target, program, prefix, true, true, places, form.sound)) break;
        }
    }

    // An undefined variable left in what names the file: Windows would not find what we cannot say.
    for (const std::string& unknown : expansion.unknown) {
        bool inFileName = false;
        for (const std::string& candidate : program.candidates)
            inFileName = inFileName || candidate.find(unknown) != std::string::npos;
        if (inFileName || program.candidates.empty()) {
            target.kind = ResolvedTarget::Kind::Unknown;
            target.unknownWhat = unknown;
            target.unknownWhy = "variable not defined";
            return target;
        }
    }
    if (target.kind != ResolvedTarget::Kind::Files) return target;
    if (program.candidates.empty()) return target;

    const bool rundll = IsHostOf(split.program, "RUNDLL32");
    const bool regsvr = IsHostOf(split.program, "REGSVR32");
    target.files.push_back(std::move(program));
    if (form.commandLine && (rundll || regsvr)) {
        RequiredFile dll;
        bool understood = true;
        for (const std::string& name : HostedDll(split.arguments, rundll))
            understood = RequireFile(target, dll, name, false, true, places) && understood;
        if (!understood) return target;
        if (!dll.candidates.empty()) target.files.push_back(std::move(dll));
    }
    return target;
}

}  // namespace korvane
