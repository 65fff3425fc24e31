// Loading, setting aside and saving a document file (see StoredDocument.h).
#include "core/StoredDocument.h"

#include <cstdio>

namespace korvane {

StoredDocument::StoredDocument(Platform& platform, std::string rootName)
    : platform_(platform), rootName_(std::move(rootName)) {}

XmlElement StoredDocument::Root() {
    if (!document_.DocumentElement()) document_.Reset(rootName_);
    return document_.DocumentElement();
}

void StoredDocument::Load(const std::string& path) {
    FileSystem& files = platform_.files;
    locked_ = false;
    if (!files.fileExists(path)) {
        document_.Reset(rootName_);
        return;
    }
    try {
        document_.Load(files, path);
        return;
    } catch (const XmlError& error) {
        document_.Reset(rootName_);
        std::string keptAs = SetAside(path);
        std::string text = error.what();
        if (!keptAs.empty()) {
            text += "\n\nThe file " + path + " was kept as " + keptAs + "; Korvane starts with an empty one.";
        } else {
            locked_ = true;
            text += "\n\nThe file " + path + " could not be renamed; Korvane will not overwrite it.";
        }
        platform_.dialogs.error(text);
    }
}

void StoredDocument::Save(const std::string& path) const {
    if (locked_)
        throw XmlError(path +
                       " was not written: it could not be read when Korvane started, nor renamed aside, and "
                       "writing it now would lose what it holds. Move or repair the file, then start "
                       "Korvane again.");
    document_.Save(platform_.files, path);
}

// Renames an unreadable file in its folder, so that no later save can overwrite it. Returns the new
// name, or empty when it could not be renamed.
std::string StoredDocument::SetAside(const std::string& path) {
    LocalDateTime now = platform_.system.localTime();
    char stamp[32];
    std::snprintf(stamp, sizeof stamp, ".corrupt-%04d%02d%02d-%02d%02d%02d", now.year, now.month, now.day,
                  now.hour, now.minute, now.second);
    FileSystem& files = platform_.files;
    std::string target = path + stamp;
    for (int n = 2; files.fileExists(target) || files.directoryExists(target); ++n)
        target = path + stamp + "-" + std::to_string(n);
    return files.replaceFile(path, target) ? target : std::string();
}

}  // namespace korvane
