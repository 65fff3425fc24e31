// What file a registry value makes Windows look for, worked out the way Windows finds it: references
// to environment variables expanded, a command line split as CreateProcess splits it (a quoted program
// first; unquoted, every blank-cut prefix, with the extensions Windows adds), icon indices and
// resource references cut off, "\\?\", "\??\" and "\SystemRoot\" understood, forward slashes taken as
// separators, a bare program name searched where Windows searches it (App Paths, the system folder,
// the Windows folder, the PATH), and the DLL that a rundll32 or regsvr32 line loads. Pure text work:
// the caller tests the candidates against the file system. Anything it does not understand is
// "unknown", never a missing file.
#pragma once

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "registry/Environment.h"

namespace korvane {

// How a value is read.
struct TargetForm {
    // The data may be a command line (arguments, an icon index, a resource reference); otherwise it
    // is one path as written.
    bool commandLine = true;
    // Web addresses, shell: folders and ::{GUID} folders name something Windows opens, not a file
    // (the Run dialog's history).
    bool notFilesAllowed = false;
    // A sound: a bare file name is looked for in the Windows folder's Media folder first, as
    // PlaySound looks for it.
    bool sound = false;
};

// One file Windows must find: any of the candidates is enough.
struct RequiredFile {
    std::vector<std::string> candidates;  // absolute paths, in the order Windows tries them
    std::string shown;                    // the path (or the searched name) the evidence names
    bool searched = false;                // the candidates come from a search for a bare name
};

struct ResolvedTarget {
    enum class Kind {
        Files,     // every one of `files` must be found
        NotAFile,  // a web address, a shell folder: nothing to test
        Unknown,   // not understood (a variable not defined, a relative path): cannot tell
    };
    Kind kind = Kind::Files;
    std::vector<RequiredFile> files;
    // The whole text, expanded: an existing folder of this name is a target too.
    std::string wholeText;
    // For Unknown: what was not understood and why ("%APP_HOME%", "variable not defined").
    std::string unknownWhat;
    std::string unknownWhy;
};

// Where a bare name is searched, for one registry view.
struct SearchPlaces {
    std::string systemFolder;  // with "\" (SysWOW64 for a 32-bit entry)
    std::string windowsFolder;
    std::vector<std::string> pathFolders;  // each with "\"
    // App Paths: upper-cased key name ("APP.EXE") → the program's path.
    std::unordered_map<std::string, std::string> appPaths;
};

ResolvedTarget ResolveTarget(std::string_view text, const TargetForm& form, const Environment& environment,
                             const SearchPlaces& places);
// Which of the forms a cache of resolutions keeps apart (0 to 7).
inline int FormIndex(const TargetForm& form) {
    return (form.commandLine ? 1 : 0) + (form.notFilesAllowed ? 2 : 0) + (form.sound ? 4 : 0);
}

// The program an unquoted or quoted command line names, as written (quotes removed, arguments cut at
// the first blank for an unquoted line), and its arguments. For the evidence of simple forms.
struct SplitLine {
    std::string program;
    std::string arguments;
    bool quoted = false;
};
SplitLine SplitCommandLine(std::string_view line);

// Whether the last part of `path` has an extension ("." after its last "\", "/" or ":").
bool HasFileExtension(std::string_view path);

}  // namespace korvane
