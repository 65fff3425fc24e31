// The two documents the program keeps for its whole run (the undo history and the ignore list):
// elements carrying attributes only, reached by position, loaded from and saved to files through
// the platform. Saves are atomic: a temporary file beside the target, flushed, then moved over it.
// A document and its element handles are used by one thread at a time (the window's thread).
#pragma once

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/FileSystem.h"

namespace pugi {
class xml_document;
class xml_node;
}  // namespace pugi

namespace korvane {

class XmlError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct XmlPositionCache;

// A light handle on one element of an XmlDocument; valid while the element exists and the document
// has not been loaded or reset again. Reads on an empty handle give nothing; changes throw XmlError.
class XmlElement {
public:
    XmlElement() = default;
    explicit operator bool() const { return node_ != nullptr; }
    bool operator==(const XmlElement& other) const { return node_ == other.node_; }
    std::string Name() const;

    // Children are elements only. Counting and walking by position, forwards or backwards, cost
    // O(1) per step: the document remembers the last position it was asked for.
    int ChildCount() const;
    XmlElement Child(int index) const;         // by position in document order; empty if out of range
    std::vector<XmlElement> Children() const;  // all children in document order
    // Appends an element as the last child and returns it; throws XmlError for a name that is not
    // a valid XML name.
    XmlElement AppendChild(const std::string& name);
    void DeleteChild(int index);  // the later children move up by one; out of range: nothing
    void DeleteAllChildren();

    // Attributes keep the order in which they were first set; setting an existing one changes its
    // value in place. Throws XmlError for a name that is not a valid XML name.
    void SetAttribute(const std::string& name, const std::string& value);
    // SetAttribute for an element just appended, which has no attribute of that name yet: added at
    // the end without looking for one (an undo-history batch writes hundreds of thousands).
    void AddAttribute(const std::string& name, const std::string& value);
    std::string Attribute(const std::string& name) const;  // empty when absent
    bool HasAttribute(const std::string& name) const;
    int AttributeCount() const;

private:
    friend class XmlDocument;
    XmlElement(void* node, XmlPositionCache* cache) : node_(node), cache_(cache) {}
    void* node_ = nullptr;  // pugi::xml_node_struct*
    XmlPositionCache* cache_ = nullptr;
};

class XmlDocument {
public:
    XmlDocument();
    ~XmlDocument();
    XmlDocument(const XmlDocument&) = delete;
    XmlDocument& operator=(const XmlDocument&) = delete;

    // Replaces the document by the parsed text; throws XmlError (with the parser's message and the
    // offset) when the text is not a well-formed document with one root element, leaving the
    // document as it was. The encoding is taken from the byte-order mark or the declaration (UTF-8,
    // UTF-16, UTF-32, ISO-8859-1 and windows-1252); without either the text is UTF-8. Text content,
    // comments and processing instructions are not kept: the documents hold attributes only.
    void LoadText(const std::string& text);
    // Reads and parses a file; throws XmlError when it cannot be read or parsed.
    void Load(FileSystem& files, const std::string& path);
    // Starts an empty document whose only element is `rootName`.
    void Reset(const std::string& rootName);
    XmlElement DocumentElement() const;

    // The document as UTF-8 text with an XML declaration.
    std::string SaveText() const;
    // Writes atomically; throws XmlError when the file cannot be written or replaced.
    void Save(FileSystem& files, const std::string& path) const;

private:
    std::unique_ptr<pugi::xml_document> doc_;
    std::unique_ptr<XmlPositionCache> cache_;
};

}  // namespace korvane
