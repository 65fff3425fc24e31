// The two documents the program keeps for its whole run (the undo history and the ignore list):
// elements carrying attributes only, reached by position, loaded from and saved to files through
// the platform. Saves are atomic: a temporary file beside the target, flushed, then moved over it.
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

// A light handle on one element of an XmlDocument; valid while the element exists.
class XmlElement {
public:
    XmlElement() = default;
    explicit operator bool() const { return node_ != nullptr; }
    std::string Name() const;

    int ChildCount() const;
    XmlElement Child(int index) const;         // by position in document order; empty if out of range
    std::vector<XmlElement> Children() const;  // all children in document order
    XmlElement AppendChild(const std::string& name);
    void DeleteChild(int index);
    void DeleteAllChildren();

    // Attributes keep the order in which they were first set.
    void SetAttribute(const std::string& name, const std::string& value);
    std::string Attribute(const std::string& name) const;  // empty when absent
    bool HasAttribute(const std::string& name) const;
    int AttributeCount() const;

private:
    friend class XmlDocument;
    explicit XmlElement(void* node) : node_(node) {}
    void* node_ = nullptr;  // pugi::xml_node_struct*
};

class XmlDocument {
public:
    XmlDocument();
    ~XmlDocument();
    XmlDocument(const XmlDocument&) = delete;
    XmlDocument& operator=(const XmlDocument&) = delete;

    // Replaces the document by the parsed text; throws XmlError (with the parser's message) when the
    // text is not a well-formed document with one root element, leaving the document as it was.
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
};

}  // namespace korvane
