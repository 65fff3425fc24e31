// One XML document kept in one file, as the undo history and the ignore list are: loaded at start-up,
// saved whole and atomically. A file that cannot be parsed is never overwritten silently: it is
// renamed aside ("<name>.corrupt-YYYYMMDD-HHMMSS") and the user is told; one that cannot even be
// renamed locks the document, so that no later save replaces it.
#pragma once

#include <string>

#include "core/XmlDocument.h"
#include "platform/Platform.h"

namespace korvane {

class StoredDocument {
public:
    // `rootName` is the document element an empty document starts with.
    StoredDocument(Platform& platform, std::string rootName);

    XmlDocument& Document() { return document_; }
    const XmlDocument& Document() const { return document_; }
    // The document element, created when the document has none yet.
    XmlElement Root();

    // Reads `path`. A missing file starts the document empty. A file that cannot be parsed is set
    // aside and the user told in the error box; the document starts empty.
    void Load(const std::string& path);
    // Whether the file read at start-up could be neither parsed nor set aside.
    bool Locked() const { return locked_; }
    // Writes the document to `path`; throws XmlError when it is locked or cannot be written.
    void Save(const std::string& path) const;

private:
    std::string SetAside(const std::string& path);

    Platform& platform_;
    std::string rootName_;
    XmlDocument document_;
    bool locked_ = false;
};

}  // namespace korvane
